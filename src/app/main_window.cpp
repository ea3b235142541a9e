// The main window's own events: start-up, release and page change.
#include "app/forms/control_names.h"
#include "app/program.h"
#include "readers/reader_listing.h"
#include "store/backups.h"
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

void Program::pageChanged() {
    Window& main = *main_;
    const Control& tabs = main.control(mainw::kTabs);
    if (tabs.pageCaptions()[tabs.currentPage()] == "读者管理" && library_->readers.listPending) {
        readers::listReaders(main, library_->database);
        library_->readers.listPending = false;
    }
    // The caption is read again: the listing does not change the page.
    if (tabs.pageCaptions()[tabs.currentPage()] == "数据操作") {
        listBackups();
    }
}

void Program::listBackups() {
    Control& list = main_->control(mainw::kBackupList);
    list.clearItems();
    for (std::string& file : store::backupFiles(paths_.programFolder)) {
        list.addItem(std::move(file));
    }
}

} // namespace chengxi::app
