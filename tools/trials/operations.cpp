#include "operations.h"

#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "sample_library.h"
#include "store/connection.h"
#include "text/file_path.h"
#include "ui/forms/control_names.h"
#include "xls/workbook_file.h"

#include <filesystem>

namespace chengxi::trials {
namespace {

namespace mainw = ui::names::main;
namespace fs = std::filesystem;

constexpr const char* kNewPassword = "新的密码2016";

void prepareLibrary(const TrialFolder& folder, const bench::LibrarySize& size) {
    fs::create_directories(folder.program());
    writeBytes(folder.settings(), settingsHoldingAbc());
    store::Connection connection;
    if (!connection.open(text::fromPath(folder.database()), true)) {
        throw std::runtime_error("cannot create the trial database");
    }
    bench::fillLibrary(connection, size);
}

void prepareSmallLibrary(const TrialFolder& folder) {
    prepareLibrary(folder, {.books = 20000, .readers = 1000, .reportRows = 5000});
}

int count(const TrialFolder& folder, const std::string& table) {
    const std::string value = queryValue(folder.database(), "select count(*) from " + table);
    return value.empty() ? -1 : std::stoi(value);
}

std::vector<fs::path> backupFiles(const TrialFolder& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder.program())) {
        const std::string name = text::fromPath(entry.path().filename());
        if (name.starts_with("数据库") && name.ends_with(".sdb") && name != "数据库.sdb") {
            files.push_back(entry.path());
        }
    }
    return files;
}

// A backup made during the trial is a whole database holding `rows` rows of
// `table`, or there is none.
Finding verifyBackup(const TrialFolder& folder, const std::string& table, int rows) {
    const std::vector<fs::path> files = backupFiles(folder);
    if (files.empty()) {
        return {"", "absent"};
    }
    if (files.size() > 1) {
        return {"more than one backup file", ""};
    }
    if (queryValue(files.front(), "pragma integrity_check") != "ok") {
        return {"the backup " + text::fromPath(files.front().filename()) + " is damaged", ""};
    }
    const std::string found = queryValue(files.front(), "select count(*) from " + table);
    if (found != std::to_string(rows)) {
        return {"the backup holds " + found + " rows of " + table + ", not " + std::to_string(rows),
                ""};
    }
    return {"", "complete"};
}

Operation passwordChange() {
    return {
        "password change",
        prepareSmallLibrary,
        [](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPagePassword);
            session.type(mainw::kOldPassword, "abc");
            session.type(mainw::kNewPassword, kNewPassword);
            ready();
            session.click(mainw::kSavePassword);
        },
        [](const TrialFolder& folder) -> Finding {
            const std::string old = settingsHoldingAbc();
            const std::string bytes = readBytes(folder.settings());
            if (bytes == old) {
                return {"", "absent"};
            }
            const std::string stored = auth::readStoredPassword(folder.settings()).value_or("");
            if (stored == auth::asReadBack(auth::cipherOfTypedPassword(kNewPassword).text())) {
                return {"", "complete"};
            }
            return {"the settings file is neither the old one nor the new one", ""};
        },
    };
}

Operation backup() {
    return {
        "backup",
        prepareSmallLibrary,
        [](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPageData);
            ready();
            session.click(mainw::kBackup);
        },
        [](const TrialFolder& folder) { return verifyBackup(folder, "图书数据", 20000); },
    };
}

Operation clearing(std::string_view button, std::string table, int rows) {
    return {
        "clear " + table,
        prepareSmallLibrary,
        [button](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPageData);
            ready();
            session.click(button);
        },
        [table, rows](const TrialFolder& folder) -> Finding {
            const int left = count(folder, table);
            const Finding backup = verifyBackup(folder, table, rows);
            if (!backup.fault.empty()) {
                return backup;
            }
            if (left == rows) {
                return {"", "absent"};
            }
            if (left != 0) {
                return {table + " holds " + std::to_string(left) + " rows: neither all nor none",
                        ""};
            }
            if (backup.outcome != "complete") {
                return {table + " was cleared without a backup of its rows", ""};
            }
            return {"", "complete"};
        },
    };
}

// The one loan of the trials: a book no one holds, to a reader without loans.
const std::string kLoanCard = bench::cardNumber(1);
const std::string kLoanBook = bench::bookNumber(15000);

struct LoanTraces {
    int lendState = 0;   // 借出数据 rows giving the book to the reader
    int openReport = 0;  // 借阅报表 rows of the book without a return date
    int readerLists = 0; // the reader's book list holding the book
};

LoanTraces loanTraces(const TrialFolder& folder) {
    const auto number = [&](const std::string& sql) {
        const std::string value = queryValue(folder.database(), sql);
        return value.empty() ? -1 : std::stoi(value);
    };
    return {
        number("select count(*) from 借出数据 where 图书编号='" + kLoanBook + "' and 借书证号='" +
               kLoanCard + "'"),
        number("select count(*) from 借阅报表 where 图书编号='" + kLoanBook + "' and 还书日期=''"),
        number("select count(*) from 读者数据 where 借书证号='" + kLoanCard +
               "' and instr(图书编号串, '" + kLoanBook + "|') > 0"),
    };
}

// A loan is in all three tables or in none.
Finding verifyLoan(const TrialFolder& folder, bool lentAfterwards) {
    const LoanTraces traces = loanTraces(folder);
    if (traces.lendState == 1 && traces.openReport == 1 && traces.readerLists == 1) {
        return {"", lentAfterwards ? "complete" : "absent"};
    }
    if (traces.lendState == 0 && traces.openReport == 0 && traces.readerLists == 0) {
        return {"", lentAfterwards ? "absent" : "complete"};
    }
    return {"half a loan: lend state " + std::to_string(traces.lendState) + ", open report rows " +
                std::to_string(traces.openReport) + ", reader lists " +
                std::to_string(traces.readerLists),
            ""};
}

void typeLoan(Session& session) {
    session.tab(mainw::kPageLending);
    session.type(mainw::kLoanCard, kLoanCard);
    session.type(mainw::kLoanBook, kLoanBook);
}

Operation lend() {
    return {
        "lend",
        prepareSmallLibrary,
        [](Session& session, const std::function<void()>& ready) {
            typeLoan(session);
            ready();
            session.click(mainw::kLend);
        },
        [](const TrialFolder& folder) { return verifyLoan(folder, true); },
    };
}

Operation giveBack() {
    return {
        "return",
        [](const TrialFolder& folder) {
            prepareSmallLibrary(folder);
            Session session(folder.programUtf8(), folder.settingsUtf8());
            if (!session.logIn()) {
                throw std::runtime_error("cannot log in to lend the book to return");
            }
            typeLoan(session);
            session.click(mainw::kLend);
            session.close();
        },
        [](Session& session, const std::function<void()>& ready) {
            typeLoan(session);
            session.click(mainw::kShowLoans);
            session.select(mainw::kLoanList, 0);
            ready();
            session.click(mainw::kReturn);
        },
        [](const TrialFolder& folder) { return verifyLoan(folder, false); },
    };
}

// The sheet rows of a workbook the program wrote, the header row included;
// -1 when it cannot be read.
int workbookRows(const fs::path& file) {
    const auto book = xls::loadWorkbook(text::fromPath(file));
    if (!book.ok() || book->sheets.empty()) {
        return -1;
    }
    return static_cast<int>(book->sheets.front().rowCount());
}

// Lays out a library of `books` books and `readers` readers, and the
// workbooks of its books and readers, written by the program's own exports.
void prepareWithWorkbooks(const TrialFolder& folder, int books, int readers) {
    prepareLibrary(folder, {.books = books, .readers = readers, .reportRows = 2000});
    Session session(folder.programUtf8(), folder.settingsUtf8());
    if (!session.logIn()) {
        throw std::runtime_error("cannot log in to export the trial workbooks");
    }
    session.tab(mainw::kPageExport);
    session.choose(text::fromPath(folder.program() / "books.xls"));
    session.click(mainw::kExportBooks);
    session.choose(text::fromPath(folder.program() / "readers.xls"));
    session.click(mainw::kExportReaders);
    session.close();
}

Operation bookImport() {
    return {
        "book import (65,535 rows)",
        [](const TrialFolder& folder) { prepareWithWorkbooks(folder, 65535, 100); },
        [](Session& session, const std::function<void()>& ready) {
            session.tab(mainw::kPageImportBooks);
            session.choose(text::fromPath(session.folder() / "books.xls"));
            session.click(mainw::kChooseBookFile);
            ready();
            session.click(mainw::kImportBooks);
        },
        [](const TrialFolder& folder) -> Finding {
            const int books = count(folder, "图书数据");
            if (books == 65535) {
                return {"", "absent"};
            }
            if (books == 2 * 65535) {
                return {"", "complete"};
            }
            return {"the catalogue holds " + std::to_string(books) + " books: neither all nor none",
                    ""};
        },
    };
}

Operation readerImport() {
    return {
        "reader import",
        [](const TrialFolder& folder) {
            prepareWithWorkbooks(folder, 2000, 1000);
            store::Connection connection;
            if (!connection.open(text::fromPath(folder.database()), false) ||
                !connection.execute("delete from 读者数据 where rowid > 500")) {
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
        [](const TrialFolder& folder) -> Finding {
            const int readers = count(folder, "读者数据");
            if (readers == 500) {
                return {"", "absent"};
            }
            if (readers == 1000) {
                return {"", "complete"};
            }
            return {"the register holds " + std::to_string(readers) +
                        " readers: neither all nor none",
                    ""};
        },
    };
}

// An export leaves no file, the bare template, or the whole workbook; never
// a file that cannot be read.
Operation exportTo(std::string name, int page, std::string_view button, std::string countQuery) {
    return {
        std::move(name),
        [](const TrialFolder& folder) {
            prepareLibrary(folder, {.books = 20000, .readers = 1000, .reportRows = 5000});
        },
        [page, button](Session& session, const std::function<void()>& ready) {
            session.tab(page);
            session.choose(text::fromPath(session.folder() / "export.xls"));
            ready();
            session.click(button);
        },
        [countQuery](const TrialFolder& folder) -> Finding {
            const int rows = std::stoi(queryValue(folder.database(), countQuery));
            const fs::path file = folder.program() / "export.xls";
            if (!fs::exists(file)) {
                return {"", "absent"};
            }
            const int found = workbookRows(file);
            if (found == 1 || found == 2) { // the template; the books' has a blank row
                return {"", "absent"};
            }
            if (found == rows + 1) {
                return {"", "complete"};
            }
            return {"the exported workbook " + (found < 0
                                                    ? std::string("cannot be read")
                                                    : "holds " + std::to_string(found) + " rows"),
                    ""};
        },
    };
}

} // namespace

const std::vector<Operation>& operations() {
    static const std::vector<Operation> all = {
        lend(),
        giveBack(),
        bookImport(),
        readerImport(),
        exportTo("book export", mainw::kPageExport, mainw::kExportBooks,
                 "select count(*) from 图书数据"),
        exportTo("reader export", mainw::kPageExport, mainw::kExportReaders,
                 "select count(*) from 读者数据"),
        exportTo("loan report export", mainw::kPageReport, mainw::kExportReport,
                 "select count(*) from 借阅报表 where 年份='2015'"),
        passwordChange(),
        backup(),
        clearing(mainw::kClearBooks, "图书数据", 20000),
        clearing(mainw::kClearReaders, "读者数据", 1000),
        clearing(mainw::kClearLendState, "借出数据", 150),
    };
    return all;
}

std::string verifyDatabaseAndNextStart(const TrialFolder& folder) {
    if (queryValue(folder.database(), "pragma integrity_check") != "ok") {
        return "the database fails its integrity check";
    }
    if (queryValue(folder.database(), "pragma journal_mode") != "delete") {
        return "the database left the rollback journal";
    }
    Session next(folder.programUtf8(), folder.settingsUtf8());
    // The password may have been changed by the trial.
    const std::string stored = auth::readStoredPassword(folder.settings()).value_or("");
    const bool changed = stored != auth::asReadBack(auth::passwordCipher("abc"));
    if (changed) {
        writeBytes(folder.settings(), settingsHoldingAbc());
    }
    if (!next.logIn()) {
        return "the next start does not reach the main window";
    }
    next.close();
    if (!next.messages().empty()) {
        return "the next start shows \"" + next.messages().front() + "\"";
    }
    // A journal cut short before its header was written is not hot: SQLite
    // ignores it and replaces it at the next write. A hot one must be gone.
    const std::string journal = readBytes(fs::path(folder.database()) += "-journal");
    if (journal.starts_with("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7")) {
        return "a hot journal is left after the next start";
    }
    return {};
}

} // namespace chengxi::trials
