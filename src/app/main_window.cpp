// The main window's own events: start-up, release and page change.
#include "app/forms/control_names.h"
#include "app/program.h"
#include "store/initialisation.h"
#include "text/integer_value.h"

namespace chengxi::app {

namespace login = names::login;
namespace mainw = names::main;

namespace {

void preparePreviewList(ListView& preview) {
    preview.setViewType(3);
    preview.setGridLines(true);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        preview.addColumn({std::string(1, letter), 90, Alignment::Centre});
    }
}

} // namespace

void Program::mainWindowStartUp() {
    Window& main = *main_;
    closeWindow(login::kWindow);
    library_->readers.listPending = true;
    preparePreviewList(main.control(mainw::kPreviewList).listView());
    library_->catalogue = {
        .pageOffset = 0,
        .pageSize = text::integerValue(main.control(mainw::kRowsPerPage).text()),
        .bookTotal = 0,
    };
    library_->login.failureCounter = 0;
    main.control(mainw::kTabs).setCurrentPage(mainw::kPageLending);
    for (const std::string& failure :
         store::initialiseDatabase(library_->database.connection, databasePath())) {
        screen_.messageBox({failure, "提示"});
    }
}

void Program::mainWindowRelease() {
    library_->database.closeAll();
}

} // namespace chengxi::app
