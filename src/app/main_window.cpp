// The main window's own events: start-up, release and page change.
#include "app/daily_backup.h"
#include "app/data_folder.h"
#include "app/data_folder_question.h"
#include "app/program.h"
#include "backups/backups.h"
#include "library/initialisation.h"
#include "overview/events.h"
#include "overview/kept_filters.h"
#include "readers/reader_listing.h"
#include "text/integer_value.h"
#include "ui/forms/control_names.h"

namespace chengxi::app {

namespace login = ui::names::login;
namespace mainw = ui::names::main;

namespace {

void preparePreviewList(ui::ListView& preview) {
    preview.setViewType(3);
    preview.setGridLines(true);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        preview.addColumn({std::string(1, letter), 90, ui::Alignment::Centre});
    }
}

} // namespace

void Program::mainWindowStartUp() {
    ui::Window& main = *main_;
    closeWindow(login::kWindow);
    library_.readers.listPending = true;
    preparePreviewList(main.control(mainw::kPreviewList).listView());
    library_.catalogue = {
        .pageOffset = 0,
        .pageSize = text::integerValue(main.control(mainw::kRowsPerPage).text()),
        .bookTotal = 0,
    };
    library_.login.failureCounter = 0;
    overview::restoreKeptFilters(services_);
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
    library_.readers.listPending = true;
    library_.catalogue = {
        .pageOffset = 0,
        .pageSize = text::integerValue(main_->control(mainw::kRowsPerPage).text()),
        .bookTotal = 0,
    };
}

void Program::mainWindowRelease() {
    library_.exchange.workbook.close();
    library_.database.closeAll();
}

void Program::pageChanged() {
    const ui::Control& tabs = main_->control(mainw::kTabs);
    // The keyboard follows the page: its first box, or the tabs themselves.
    main_->focusFirstEntry(mainw::kTabs);
    // The reader list stays pending until a listing has really run, so a
    // database that was busy the first time is listed at the next showing.
    if (tabs.currentPage() == mainw::kPageReaders && library_.readers.listPending &&
        readers::listReaders(services_)) {
        library_.readers.listPending = false;
    }
    // The page is read again: the listing does not change it.
    if (tabs.currentPage() == mainw::kPageData) {
        backups::listBackups(services_);
    }
    overview::pageShown(services_, tabs.currentPage());
}

} // namespace chengxi::app
