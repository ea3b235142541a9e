// Which operation runs for which control event: the frame's own controls
// here, every page through its feature's bind function.
#include "app/program.h"
#include "auth/events.h"
#include "backups/backups.h"
#include "backups/data_check_page.h"
#include "backups/restore.h"
#include "catalog/events.h"
#include "circulation/events.h"
#include "exchange/events.h"
#include "overview/events.h"
#include "readers/events.h"
#include "schoolyear/events.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"

namespace chengxi::app {

namespace login = ui::names::login;
namespace mainw = ui::names::main;

void Program::bindEvents() {
    ui::EventBinder binder(events_, *this);
    binder.onClick(login::kWindow, login::kMinimise, [this] { login_->setWindowState(2); });
    binder.onClick(login::kWindow, login::kClose, [this] { endProgram(0); });

    binder.on(mainw::kWindow, "", ui::Event::Created, [this](int) { mainWindowStartUp(); });
    binder.on(mainw::kWindow, "", ui::Event::AboutToBeDestroyed,
              [this](int) { mainWindowRelease(); });
    binder.on(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged, [this](int) { pageChanged(); });
    binder.onClick(mainw::kWindow, mainw::kMinimise, [this] { main_->setWindowState(2); });
    binder.onClick(mainw::kWindow, mainw::kClose, [this] { endProgram(0); });

    auth::bindEvents(binder, services_, library_.login);
    backups::bindEvents(binder, services_, [this] { library_.catalogue.bookTotal = 0; });
    backups::bindRestore(binder, services_, [this] { libraryRestored(); });
    backups::bindDataCheck(binder, services_);
    readers::bindEvents(binder, services_);
    catalog::bindEvents(binder, services_, library_.catalogue, [this] {
        const backups::BackupResult saved = backups::backup(services_);
        return saved.made ? std::string() : std::string(saved.failure);
    });
    circulation::bindEvents(binder, services_, library_.circulation);
    exchange::bindEvents(binder, services_, library_.exchange, library_.catalogue);
    schoolyear::bindEvents(binder, services_);
    overview::bindEvents(binder, services_);
}

} // namespace chengxi::app
