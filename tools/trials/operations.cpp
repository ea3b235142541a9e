#include "operations.h"

#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "store/connection.h"
#include "support/sample_library.h"
#include "text/date_time.h"
#include "text/file_path.h"
#include "ui/forms/control_names.h"

#include <filesystem>
#include <stdexcept>

namespace chengxi::trials {
namespace {

namespace mainw = ui::names::main;
namespace fs = std::filesystem;

constexpr const char* kNewPassword = "新的密码2016";

std::string tableItem(std::string_view table) {
    return databaseKey() + ":" + std::string(table);
}

void prepareLibrary(const TrialFolder& folder, const bench::LibrarySize& size) {
    fs::create_directories(folder.program());
    writeBytes(folder.settings(), settingsHoldingAbc());
    store::Connection connection;
    if (!connection.open(text::fromPath(folder.database()), true)) {
        throw std::runtime_error("cannot create the trial database");
    }
    bench::fillLibrary(connection, size);
}

bench::LibrarySize librarySize(const LibraryScale& scale) {
    return {.books = scale.books, .readers = scale.readers, .reportRows = scale.reportRows};
}

// A smaller library backed up earlier under the very name the trial's backup
// will take (the trials' clock stands still): a backup must keep it.
void addEarlierBackup(const TrialFolder& folder, const LibraryScale& scale) {
    if (!scale.earlierBackup) {
        return;
    }
    const fs::path file =
        folder.program() / text::toPath("数据库" + text::formatDateTime(kSessionTime) + ".sdb");
    store::Connection connection;
    if (!connection.open(text::fromPath(file), true)) {
        throw std::runtime_error("cannot create the earlier backup");
    }
    bench::fillLibrary(connection, {.books = 50, .readers = 10, .reportRows = 10}, 7);
}

void logInToPrepare(Session& session) {
    if (!session.logIn()) {
        throw std::runtime_error("cannot log in to prepare the trial");
    }
}

void exportInto(Session& session, const fs::path& file, int page, std::string_view button) {
    session.tab(page);
    session.choose(text::fromPath(file));
    session.click(button);
}

Operation passwordChange(const LibraryScale& scale) {
    return {
        "password change",
        Writes::Files,
        {"settings/mzqk.ini"},
        [scale](const TrialFolder& folder) { prepareLibrary(folder, librarySize(scale)); },
        [](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPagePassword);
            session.type(mainw::kOldPassword, "abc");
            session.type(mainw::kNewPassword, kNewPassword);
            ready();
            session.click(mainw::kSavePassword);
        },
    };
}

Operation backup(const LibraryScale& scale) {
    return {
        "backup",
        Writes::Files,
        {},
        [scale](const TrialFolder& folder) {
            prepareLibrary(folder, librarySize(scale));
            addEarlierBackup(folder, scale);
        },
        [](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPageData);
            ready();
            session.click(mainw::kBackup);
        },
    };
}

Operation clearing(const LibraryScale& scale, std::string_view button, std::string_view table) {
    return {
        "clear " + std::string(table),
        Writes::Database,
        {tableItem(table)},
        [scale](const TrialFolder& folder) {
            prepareLibrary(folder, librarySize(scale));
            addEarlierBackup(folder, scale);
        },
        [button](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPageData);
            ready();
            session.click(button);
        },
    };
}

// The last book of the sample library, which no reader holds, found by its
// number on the search page and withdrawn after its backup.
Operation withdrawal(const LibraryScale& scale) {
    return {
        "book withdrawal",
        Writes::Database,
        {tableItem("图书数据"), tableItem("借出数据")},
        [scale](const TrialFolder& folder) {
            prepareLibrary(folder, librarySize(scale));
            addEarlierBackup(folder, scale);
        },
        [scale](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPageSearch);
            session.pick(mainw::kSearchMode, "图书编号");
            session.type(mainw::kSearchText, bench::bookNumber(scale.books - 1));
            session.click(mainw::kSearch);
            session.select(mainw::kSearchResults, 0);
            ready();
            session.click(mainw::kWithdrawBook);
        },
    };
}

// Every class of the sample library follows the grade rule: all move up,
// the top grades leave, and those among them who hold books stay.
Operation promotion(const LibraryScale& scale) {
    return {
        "year-end promotion",
        Writes::Database,
        {tableItem("读者数据")},
        [scale](const TrialFolder& folder) {
            prepareLibrary(folder, librarySize(scale));
            addEarlierBackup(folder, scale);
        },
        [](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPageReaders);
            session.click(mainw::kPromote);
            ready();
            session.program().fire(ui::names::promotion::kWindow, ui::names::promotion::kApply,
                                   ui::Event::Clicked);
        },
    };
}

// The backup the restore brings back: another, smaller library, first in the list.
void addBackupToRestore(const TrialFolder& folder) {
    store::Connection connection;
    if (!connection.open(text::fromPath(folder.program() / text::toPath("数据库2016年1月1日.sdb")),
                         true)) {
        throw std::runtime_error("cannot create the backup to restore");
    }
    bench::fillLibrary(connection, {.books = 3000, .readers = 200, .reportRows = 800}, 11);
}

Operation restore(const LibraryScale& scale) {
    return {
        "restore",
        Writes::Database,
        {tableItem("图书数据"), tableItem("读者数据"), tableItem("借出数据"),
         tableItem("借阅报表")},
        [scale](const TrialFolder& folder) {
            prepareLibrary(folder, librarySize(scale));
            addEarlierBackup(folder, scale);
            addBackupToRestore(folder);
        },
        [](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPageData);
            session.select(mainw::kBackupList, 0);
            ready();
            session.click(mainw::kRestoreBackup);
        },
    };
}

void typeLoan(Session& session, const std::string& book) {
    session.tab(mainw::kPageLending);
    session.type(mainw::kLoanCard, loanCard());
    session.type(mainw::kLoanBook, book);
}

const std::set<std::string> kLoanTables = {tableItem("读者数据"), tableItem("借阅报表"),
                                           tableItem("借出数据")};

Operation lend(const LibraryScale& scale) {
    return {
        "lend",
        Writes::Database,
        kLoanTables,
        [scale](const TrialFolder& folder) { prepareLibrary(folder, librarySize(scale)); },
        [book = loanBook(scale)](Session& session, const std::function<void()>& ready) {
            typeLoan(session, book);
            ready();
            session.click(mainw::kLend);
        },
    };
}

Operation giveBack(const LibraryScale& scale) {
    const std::string book = loanBook(scale);
    return {
        "return",
        Writes::Database,
        kLoanTables,
        [scale, book](const TrialFolder& folder) {
            prepareLibrary(folder, librarySize(scale));
            Session session(folder.programUtf8(), folder.settingsUtf8());
            logInToPrepare(session);
            typeLoan(session, book);
            session.click(mainw::kLend);
            session.close();
        },
        [book](Session& session, const std::function<void()>& ready) {
            typeLoan(session, book);
            session.click(mainw::kShowLoans);
            session.select(mainw::kLoanList, 0);
            ready();
            session.click(mainw::kReturn);
        },
    };
}

// Lays out a library and the workbooks of its books and readers, written by
// the program's own exports.
void prepareWithWorkbooks(const TrialFolder& folder, const bench::LibrarySize& size) {
    prepareLibrary(folder, size);
    Session session(folder.programUtf8(), folder.settingsUtf8());
    logInToPrepare(session);
    exportInto(session, folder.program() / "books.xls", mainw::kPageExport, mainw::kExportBooks);
    exportInto(session, folder.program() / "readers.xls", mainw::kPageExport,
               mainw::kExportReaders);
    session.close();
}

Operation bookImport(const LibraryScale& scale) {
    return {
        "book import (" + std::to_string(scale.importedBooks) + " rows)",
        Writes::Database,
        {tableItem("图书数据")},
        [scale](const TrialFolder& folder) {
            prepareWithWorkbooks(folder, {.books = scale.importedBooks,
                                          .readers = scale.readers / 10,
                                          .reportRows = scale.reportRows / 2});
            addEarlierBackup(folder, scale);
        },
        [](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPageImportBooks);
            session.choose(text::fromPath(session.folder() / "books.xls"));
            session.click(mainw::kChooseBookFile);
            ready();
            session.click(mainw::kImportBooks);
        },
    };
}

// Half the readers of the workbook are in the register already.
Operation readerImport(const LibraryScale& scale) {
    return {
        "reader import",
        Writes::Database,
        {tableItem("读者数据")},
        [scale](const TrialFolder& folder) {
            prepareWithWorkbooks(folder, {.books = scale.books / 10,
                                          .readers = scale.readers,
                                          .reportRows = scale.reportRows / 2});
            store::Connection connection;
            if (!connection.open(text::fromPath(folder.database()), false) ||
                !connection.execute("delete from 读者数据 where rowid > " +
                                    std::to_string(scale.readers / 2))) {
                throw std::runtime_error("cannot remove half the readers");
            }
        },
        [](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPageReaders);
            session.choose(text::fromPath(session.folder() / "readers.xls"));
            session.click(mainw::kChooseReaderFile);
            ready();
            session.click(mainw::kImportReaders);
        },
    };
}

struct ExportButton {
    int page;
    std::string_view button;
};

// An export over a workbook of another export made there earlier, as a
// librarian who exports to the same file every term does.
Operation exportTo(const LibraryScale& scale, std::string name, ExportButton action,
                   ExportButton earlier, std::string fileName = "export.xls") {
    return {
        std::move(name),
        Writes::Files,
        {"program/" + fileName},
        [scale, earlier, fileName](const TrialFolder& folder) {
            prepareLibrary(folder, librarySize(scale));
            Session session(folder.programUtf8(), folder.settingsUtf8());
            logInToPrepare(session);
            exportInto(session, folder.program() / fileName, earlier.page, earlier.button);
            session.close();
        },
        [action, fileName](Session& session, const std::function<void()>& ready) {
            session.tab(action.page);
            session.choose(text::fromPath(session.folder() / fileName));
            ready();
            session.click(action.button);
        },
    };
}

// The password the settings file holds: the trials' own or the one the
// password change sets.
std::string passwordInForce(const TrialFolder& folder) {
    const std::string stored = auth::readStoredPassword(folder.settings()).value_or("");
    const bool changed =
        stored == auth::asReadBack(auth::cipherOfTypedPassword(kNewPassword).text());
    return changed ? kNewPassword : "abc";
}

} // namespace

std::string loanBook(const LibraryScale& scale) {
    // The sample library lends its first books; this one is on the shelf.
    return bench::bookNumber(scale.books * 3 / 4);
}

std::string loanCard() {
    return bench::cardNumber(1);
}

std::vector<Operation> operations(const LibraryScale& scale) {
    const ExportButton books{mainw::kPageExport, mainw::kExportBooks};
    const ExportButton readers{mainw::kPageExport, mainw::kExportReaders};
    const ExportButton report{mainw::kPageReport, mainw::kExportReport};
    return {
        lend(scale),
        giveBack(scale),
        bookImport(scale),
        readerImport(scale),
        exportTo(scale, "book export", books, readers),
        exportTo(scale, "reader export", readers, report),
        exportTo(scale, "loan report export", report, readers),
        exportTo(scale, "book export to .xlsx", books, readers, "export.xlsx"),
        passwordChange(scale),
        backup(scale),
        clearing(scale, mainw::kClearBooks, "图书数据"),
        clearing(scale, mainw::kClearReaders, "读者数据"),
        clearing(scale, mainw::kClearLendState, "借出数据"),
        withdrawal(scale),
        promotion(scale),
        restore(scale),
    };
}

std::string startNextTime(const TrialFolder& folder) {
    Session next(folder.programUtf8(), folder.settingsUtf8());
    const bool loggedIn = next.logIn(passwordInForce(folder));
    next.close();
    const std::vector<std::string> shown = next.messages();
    if (!loggedIn) {
        return "the next start does not reach the main window" +
               (shown.empty() ? std::string() : " (it shows “" + shown.front() + "”)");
    }
    if (!shown.empty()) {
        return "the next start shows “" + shown.front() + "”";
    }
    return {};
}

} // namespace chengxi::trials
