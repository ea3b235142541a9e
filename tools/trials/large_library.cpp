// Every page operation on a large library: 100,000 books, 5,000 readers and
// 50,000 report rows. Checks the lists and labels at their edges (the page
// past the end, the export limit of 65,535 rows) and that the program stays
// under 200 MB of memory.
//
//   chengxi-large-library [--work DIR]
#include "session.h"
#include "store/connection.h"
#include "support/sample_library.h"
#include "text/file_path.h"
#include "trial_folder.h"
#include "ui/forms/control_names.h"
#include "xls/workbook_file.h"

#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace chengxi;
using namespace chengxi::trials;

namespace {

namespace mainw = ui::names::main;

constexpr bench::LibrarySize kSize{.books = 100000, .readers = 5000, .reportRows = 50000};
constexpr long kMemoryLimitKb = 200 * 1024;

int failures = 0;

void expect(bool holds, const std::string& what) {
    std::printf("  %s %s\n", holds ? "ok  " : "FAIL", what.c_str());
    failures += holds ? 0 : 1;
}

long peakMemoryKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string shown(Session& session, std::string_view control) {
    return session.main().control(control).text();
}

const ui::ListView& list(Session& session, std::string_view control) {
    return session.main().control(control).listView();
}

void checkCatalogue(Session& session) {
    std::puts("catalogue");
    session.tab(mainw::kPageSearch);
    session.pick(mainw::kSearchMode, "全部图书");
    session.click(mainw::kSearch);
    expect(list(session, mainw::kSearchResults).rowCount() == 500 &&
               list(session, mainw::kSearchResults).cell(499, 0) == "500",
           "the first page lists rows 1 to 500");
    expect(shown(session, mainw::kSearchStatus) == "浏览全部图书，当前图书总数：100000",
           "the browse status counts 100000 books");
    int pages = 1;
    while (list(session, mainw::kSearchResults).rowCount() > 0 && pages < 1000) {
        session.click(mainw::kPageDown);
        ++pages;
    }
    expect(pages == 201,
           "the page after the last full one is empty (page " + std::to_string(pages) + ")");
    session.click(mainw::kPageDown);
    session.click(mainw::kPageDown);
    expect(list(session, mainw::kSearchResults).cell(0, 0) == "1",
           "paging on past the end comes back to the first page");

    session.pick(mainw::kSearchMode, "书名");
    session.type(mainw::kSearchText, bench::kCommonTitleWord);
    session.click(mainw::kSearch);
    const int hits = list(session, mainw::kSearchResults).rowCount();
    expect(hits > 500 && hits < 1500,
           "a title search finds about 1% (" + std::to_string(hits) + ")");
    session.pick(mainw::kSearchMode, "图书编号");
    session.type(mainw::kSearchText, bench::bookNumber(99999));
    session.click(mainw::kSearch);
    expect(list(session, mainw::kSearchResults).rowCount() == 1,
           "the last book is found by number");
}

void checkReaders(Session& session) {
    std::puts("readers");
    session.tab(mainw::kPageReaders);
    expect(list(session, mainw::kReaderList).rowCount() == 5000 &&
               list(session, mainw::kReaderList).cell(4999, 0) == "5000",
           "the reader list holds 5000 numbered rows");
    expect(shown(session, mainw::kReaderCount) == "当前读者数量：5000个", "the count label");
    session.type(mainw::kClass, "初一（1）班");
    session.type(mainw::kName, "新读者");
    session.type(mainw::kAddCard, "209999999");
    session.click(mainw::kAddReader);
    expect(list(session, mainw::kReaderList).rowCount() == 5001, "a reader is added");
}

void checkCirculation(Session& session) {
    std::puts("circulation");
    session.tab(mainw::kPageLending);
    session.type(mainw::kLoanCard, "209999999");
    session.type(mainw::kLoanBook, bench::bookNumber(99999));
    session.click(mainw::kLend);
    expect(shown(session, mainw::kBookState) == "成功记录所借图书！", "the last book is lent");
    expect(list(session, mainw::kLoanList).rowCount() == 1, "the loan is listed");
    session.select(mainw::kLoanList, 0);
    session.click(mainw::kReturn);
    expect(shown(session, mainw::kBookState) == "还书成功！", "and returned");

    session.tab(mainw::kPageReport);
    session.spin(mainw::kYear, 1);
    expect(shown(session, mainw::kYear) == "2016", "the year steps to 2016");
    session.click(mainw::kShowReport);
    const int rows = list(session, mainw::kReportList).rowCount();
    expect(rows > 16000, "the 2016 report lists its rows (" + std::to_string(rows) + ")");
}

int workbookRows(const fs::path& file) {
    const auto book = xls::loadWorkbook(text::fromPath(file));
    return book.ok() && !book->sheets.empty() ? static_cast<int>(book->sheets.front().rowCount())
                                              : -1;
}

void checkExchange(Session& session) {
    std::puts("exchange");
    const fs::path books = session.folder() / "books.xls";
    session.tab(mainw::kPageExport);
    session.choose(text::fromPath(books));
    session.click(mainw::kExportBooks);
    expect(!session.messages().empty() && session.messages().back() == "导出数据失败！",
           "exporting 100000 books stops at the sheet's last row");
    expect(workbookRows(books) == 65536, "the workbook holds the header and 65535 books (" +
                                             std::to_string(workbookRows(books)) + ")");
    const fs::path readers = session.folder() / "readers.xls";
    session.choose(text::fromPath(readers));
    session.click(mainw::kExportReaders);
    expect(session.messages().back() == "恭喜您，导出成功！" && workbookRows(readers) == 5002,
           "the readers are exported");
    session.tab(mainw::kPageReport);
    const fs::path report = session.folder() / "report.xls";
    session.choose(text::fromPath(report));
    session.click(mainw::kExportReport);
    expect(shown(session, mainw::kReportExportProgress) == "导出借阅报表成功！" &&
               workbookRows(report) > 16000,
           "the 2016 report is exported");

    session.tab(mainw::kPageImportBooks);
    session.choose(text::fromPath(books));
    session.click(mainw::kChooseBookFile);
    session.click(mainw::kImportBooks);
    expect(shown(session, mainw::kImportStatus).starts_with("导入图书数据结束"),
           "the 65535 books are imported back");
    session.tab(mainw::kPageSearch);
    session.pick(mainw::kSearchMode, "全部图书");
    session.click(mainw::kSearch);
    expect(shown(session, mainw::kSearchStatus) == "浏览全部图书，当前图书总数：165535",
           "the catalogue counts them afresh");
}

} // namespace

int main(int argc, char** argv) {
    fs::path work = fs::temp_directory_path() / ("chengxi-large-" + std::to_string(::getpid()));
    if (argc == 3 && std::string(argv[1]) == "--work") {
        work = argv[2];
    }
    const TrialFolder folder{work};
    fs::remove_all(work);
    fs::create_directories(folder.program());
    writeBytes(folder.settings(), settingsHoldingAbc());
    // Generated in a process of its own, so the memory measured below is the
    // program's alone.
    if (const pid_t child = ::fork(); child == 0) {
        store::Connection connection;
        if (!connection.open(text::fromPath(folder.database()), true)) {
            ::_exit(2);
        }
        bench::fillLibrary(connection, kSize);
        ::_exit(0);
    } else {
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "cannot generate the library in %s\n", work.string().c_str());
            return 2;
        }
    }
    Session session(folder.programUtf8(), folder.settingsUtf8());
    expect(session.logIn(), "the main window opens");
    checkCatalogue(session);
    checkReaders(session);
    checkCirculation(session);
    checkExchange(session);
    session.close();
    const long peak = peakMemoryKb();
    expect(peak < kMemoryLimitKb,
           "peak memory " + std::to_string(peak / 1024) + " MB, limit 200 MB");
    fs::remove_all(work);
    std::printf("%s\n", failures == 0 ? "all checks hold" : "some checks failed");
    return failures == 0 ? 0 : 1;
}
