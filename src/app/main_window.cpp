// The main window's own events: start-up, release and page change. What a
// page does at these moments is its feature's page hooks; here they run in
// order, around what belongs to the program itself.
#include "app/daily_backup.h"
#include "app/data_folder.h"
#include "app/data_folder_question.h"
#include "app/program.h"
#include "auth/page_hooks.h"
#include "backups/page_hooks.h"
#include "catalog/page_hooks.h"
#include "exchange/page_hooks.h"
#include "library/initialisation.h"
#include "overview/page_hooks.h"
#include "readers/page_hooks.h"
#include "ui/forms/control_names.h"

namespace chengxi::app {

namespace login = ui::names::login;
namespace mainw = ui::names::main;

void Program::mainWindowStartUp() {
    ui::Window& main = *main_;
    closeWindow(login::kWindow);
    readers::mainWindowCreated(library_.readers);
    exchange::mainWindowCreated(services_);
    catalog::mainWindowCreated(services_, library_.catalogue);
    auth::mainWindowCreated(library_.login);
    overview::mainWindowCreated(services_);
    main.control(mainw::kTabs).setCurrentPage(mainw::kPageLending);
    // The librarian (or a card scanner) types at once, without a click first.
    main.focusFirstEntry(mainw::kTabs);
    store::Connection& connection = library_.database.connection;
    for (const std::string& failure : library::initialiseDatabase(connection, databasePath())) {
        screen_.messageBox({failure, "提示"});
    }
    // A database kept where it cannot be changed (the librarian chose not to
    // copy it, or no folder of the user's own could be had) is said to be so.
    if (connection.isOpen() && !connection.isReadOnly() && !connection.damageFound() &&
        !canWriteFolder(paths_.programFolder)) {
        screen_.messageBox({unwritableFolderMessage(paths_.programFolder), "提示"});
    }
    makeDailyBackup(services_);
}

void Program::libraryRestored() {
    readers::libraryRestored(library_.readers);
    catalog::libraryRestored(services_, library_.catalogue);
}

void Program::mainWindowRelease() {
    library_.exchange.workbook.close();
    library_.database.closeAll();
}

void Program::pageChanged() {
    // The keyboard follows the page: its first box, or the tabs themselves.
    main_->focusFirstEntry(mainw::kTabs);
    // Each hook reads the page afresh, whatever the hooks before it did.
    const auto shownPage = [this] { return main_->control(mainw::kTabs).currentPage(); };
    readers::pageShown(services_, library_.readers, shownPage());
    backups::pageShown(services_, shownPage());
    overview::pageShown(services_, shownPage());
}

} // namespace chengxi::app
