// A damaged database and another program's lock: each is said as what it
// is, a damaged database is only read, and no backup or export of it passes
// for a success.
#include "backups/backups.h"
#include "library/initialisation.h"
#include "library/loans.h"
#include "program_fixture.h"
#include "store/backups.h"
#include "store/failure_cause.h"
#include "support/locking_process.h"
#include "support/sample_library.h"
#include "ui/forms/control_names.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace chengxi::testing {
namespace {

namespace mainw = ui::names::main;
namespace fs = std::filesystem;

constexpr int kPageSize = 4096;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files(fs::directory_iterator(folder), fs::directory_iterator{});
    std::sort(files.begin(), files.end());
    return files;
}

class DamageAndLock : public ProgramFixture {
protected:
    // 3,000 books and a few readers, as an earlier start would have left them.
    void makeLibrary() {
        store::Connection connection;
        ASSERT_TRUE(connection.open(databasePath(), true));
        bench::fillLibrary(connection, {3000, 20, 0});
    }

    // Overwrites the page that holds the book numbered `book` (a leaf of
    // 图书数据 in the middle of the catalogue) with garbage.
    void damagePageOf(const std::string& book) {
        const fs::path file = text::toPath(databasePath());
        const std::string bytes = contentOf(file);
        const std::size_t found = bytes.find(book);
        ASSERT_NE(found, std::string::npos);
        std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
        out.seekp(static_cast<std::streamoff>(found / kPageSize * kPageSize));
        out << std::string(kPageSize, '\xA5');
    }

    void overwrite(std::streamoff offset, const std::string& bytes) {
        std::fstream out(text::toPath(databasePath()),
                         std::ios::binary | std::ios::in | std::ios::out);
        out.seekp(offset);
        out << bytes;
    }

    void exportTo(std::string_view button, const std::string& name) {
        screen.queueFile(text::joinPath(settingsFolder.utf8(), name));
        program->fire(mainw::kWindow, button, ui::Event::Clicked);
    }

    const ui::Message& lastMessage() { return screen.messages().back().message; }
};

TEST_F(DamageAndLock, EveryKindOfDamageIsSaidOnceAtStart) {
    makeLibrary();
    const std::string sound = contentOf(text::toPath(databasePath()));
    struct Damage {
        const char* what;
        std::streamoff offset;
        std::string bytes;
    };
    // A page of books, the schema page, and the header's write version (which
    // SQLite takes for a read-only file).
    for (const Damage& damage :
         {Damage{"a page of books", -1, {}}, Damage{"the schema", 100, std::string(400, '\xA5')},
          Damage{"the header", 18, std::string(1, '\x37')}}) {
        std::ofstream(text::toPath(databasePath()), std::ios::binary) << sound;
        if (damage.offset < 0) {
            damagePageOf(bench::bookNumber(1500));
        } else {
            overwrite(damage.offset, damage.bytes);
        }
        screen.messages().clear();
        openMainWindow();
        EXPECT_EQ(messageTexts(), std::vector<std::string>{std::string(library::kDamagedMessage)})
            << damage.what;
        program.reset();
    }
}

TEST_F(DamageAndLock, ADamagedDatabaseIsOnlyReadAndNeitherBackedUpNorExportedAsSound) {
    makeLibrary();
    damagePageOf(bench::bookNumber(1500));
    const std::string damaged = contentOf(text::toPath(databasePath()));
    ui::Window& main = openMainWindow();
    ASSERT_EQ(messageTexts(), std::vector<std::string>{std::string(library::kDamagedMessage)});

    // Nothing is written any more: the readers stay, the file is as it was.
    main.control(mainw::kTabs).setCurrentPage(mainw::kPageData);
    program->fire(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged);
    screen.queueAnswer(ui::Answer::Ok);
    program->fire(mainw::kWindow, mainw::kClearReaders, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().back(),
              std::string(backups::kBackupDamagedMessage) + "数据没有清空。");
    EXPECT_FALSE(program->library().database.connection.execute("delete from 读者数据"));

    program->fire(mainw::kWindow, mainw::kBackup, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().back(), backups::kBackupDamagedMessage);
    EXPECT_TRUE(store::backupFiles(programFolder.utf8()).empty());

    // The catalogue cannot be read whole: neither listed as if it were, nor
    // exported. The readers can, but from a damaged file they are not a sure
    // success either.
    main.control(mainw::kSearchMode).setCurrentItem(3); // 全部图书
    program->fire(mainw::kWindow, mainw::kSearch, ui::Event::Clicked);
    EXPECT_EQ(main.control(mainw::kSearchStatus).text(),
              "读取图书数据失败：" + std::string(store::kDamageCause));
    exportTo(mainw::kExportBooks, "图书.xls");
    EXPECT_EQ(messageTexts().back(), "查询全部图书失败：" + std::string(store::kDamageCause));
    exportTo(mainw::kExportReaders, "读者.xls");
    EXPECT_EQ(lastMessage().icon, ui::Icon::Warning);
    EXPECT_NE(messageTexts().back().find("已损坏"), std::string::npos) << messageTexts().back();

    program.reset();
    EXPECT_EQ(contentOf(text::toPath(databasePath())), damaged);
}

// Damage the count does not reach (an overflow page of the last book's long
// title) stops the export's rows midway: a failure with its cause, never a
// success, and the earlier file stays, not a workbook missing the last rows.
TEST_F(DamageAndLock, AnExportWhoseRowsStopMidwayKeepsTheEarlierFile) {
    makeLibrary();
    const std::string longTitle(3 * kPageSize, 'Q');
    {
        store::Connection connection;
        ASSERT_TRUE(connection.open(databasePath(), false));
        ASSERT_TRUE(connection.execute("insert into 图书数据 (图书编号, 书名) values(?,?)",
                                       {"Z99999", longTitle}));
    }
    // The title's first overflow page: the first page after its start that
    // holds nothing but the title after the link to the next one.
    const std::string bytes = contentOf(text::toPath(databasePath()));
    const std::size_t overflow = (bytes.find(longTitle.substr(0, 64)) / kPageSize + 1) * kPageSize;
    ASSERT_EQ(bytes.substr(overflow + 4, kPageSize - 4), longTitle.substr(0, kPageSize - 4));
    overwrite(static_cast<std::streamoff>(overflow), std::string(kPageSize, '\xA5'));
    ui::Window& main = openMainWindow();

    for (const std::string name : {"图书.xls", "图书.xlsx"}) {
        const fs::path earlier = settingsFolder.path() / text::toPath(name);
        std::ofstream(earlier, std::ios::binary) << "earlier";
        const std::vector<fs::path> before = filesIn(settingsFolder.path());
        exportTo(mainw::kExportBooks, name);
        EXPECT_EQ(messageTexts().back(), "查询全部图书失败：" + std::string(store::kDamageCause))
            << name;
        // Counted in full first: the rows stopped after the count.
        EXPECT_EQ(main.control(mainw::kExportProgress).maximum(), 3001) << name;
        EXPECT_TRUE(contentOf(earlier) == "earlier") << "the earlier " << name << " was replaced";
        EXPECT_EQ(filesIn(settingsFolder.path()), before) << "no temporary left beside " << name;
    }
    for (const std::string& said : messageTexts()) {
        EXPECT_NE(said, "恭喜您，导出成功！");
    }
}

// Damage met partway through the report of a year or the reader listing (an
// overflow page of the last row's long text) lists nothing, not the rows
// before it as if they were all.
TEST_F(DamageAndLock, AReportOrReaderListingStoppedMidwayListsNothing) {
    makeLibrary();
    const std::string longTitle(3 * kPageSize, 'Q');
    const std::string longTitles(3 * kPageSize, 'R');
    {
        store::Connection connection;
        ASSERT_TRUE(connection.open(databasePath(), false));
        for (const std::string& title :
             std::vector<std::string>{"红楼梦", "水浒传", "西游记", longTitle}) {
            ASSERT_TRUE(connection.execute("insert into 借阅报表 values(2015,?,?,?,?,'')",
                                           {"A00001", title, "1班 张三", "2015年3月1日"}));
        }
        ASSERT_TRUE(connection.execute("insert into 读者数据 values(?,?,?,?,?,?)",
                                       {"9班", "李四", "209901001", "0", "0", longTitles}));
    }
    // An overflow page of each long text: the link to the next one, then only the text.
    const std::string bytes = contentOf(text::toPath(databasePath()));
    for (const std::string& text : {longTitle, longTitles}) {
        std::size_t overflow = 0;
        while (overflow < bytes.size() &&
               bytes.compare(overflow + 4, kPageSize - 4, text, 0, kPageSize - 4) != 0) {
            overflow += kPageSize;
        }
        ASSERT_LT(overflow, bytes.size());
        overwrite(static_cast<std::streamoff>(overflow), std::string(kPageSize, '\xA5'));
    }
    ui::Window& main = openMainWindow();

    main.control(mainw::kYear).setText("2015");
    program->fire(mainw::kWindow, mainw::kShowReport, ui::Event::Clicked);
    EXPECT_EQ(main.control(mainw::kReportList).listView().rowCount(), 0);
    program->fire(mainw::kWindow, mainw::kRefreshReaders, ui::Event::Clicked);
    EXPECT_EQ(main.control(mainw::kReaderList).listView().rowCount(), 0);
}

// A lock met by an export's count is said as a lock, for each export.
TEST_F(DamageAndLock, ALockBeforeAnExportsCountIsSaid) {
    makeLibrary();
    shortLockWait = true;
    ui::Window& main = openMainWindow();
    LockingProcess other(databasePath());
    if (!other.holding()) {
        GTEST_SKIP() << "python3 with sqlite3 is needed to hold the lock";
    }
    exportTo(mainw::kExportBooks, "图书.xls");
    EXPECT_EQ(messageTexts().back(), "查询全部图书失败：" + std::string(store::kBusyCause));
    exportTo(mainw::kExportReaders, "读者.xls");
    EXPECT_EQ(messageTexts().back(), "查询全部读者失败：" + std::string(store::kBusyCause));
    main.control(mainw::kYear).setText("2015");
    exportTo(mainw::kExportReport, "报表.xls");
    EXPECT_EQ(messageTexts().back(), "查询借阅报表失败：" + std::string(store::kBusyCause));
    EXPECT_EQ(main.control(mainw::kReportExportProgress).text(), "操作失败！");
}

// A lock held through a look-up is said as a lock, not as an unknown card.
TEST_F(DamageAndLock, ALockDuringALookUpIsNotAnUnknownCard) {
    shortLockWait = true;
    ui::Window& main = openMainWindow();
    ASSERT_TRUE(program->library().database.connection.execute(
        "insert into 读者数据 values(?,?,?,?,?,?)", {"1班", "张三", "201409001", "0", "0", "0"}));
    LockingProcess other(databasePath());
    if (!other.holding()) {
        GTEST_SKIP() << "python3 with sqlite3 is needed to hold the lock";
    }
    const std::string lockSaid = "读取读者数据失败：" + std::string(store::kBusyCause);
    main.control(mainw::kLookupCard).setText("201409001");
    program->fire(mainw::kWindow, mainw::kViewReader, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().back(), lockSaid);

    main.control(mainw::kLoanCard).setText("201409001");
    program->fire(mainw::kWindow, mainw::kShowLoans, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().back(), lockSaid);
    EXPECT_NE(main.control(mainw::kReaderSummary).text(), "无该借书证号！");

    main.control(mainw::kLoanBook).setText("A00001");
    program->fire(mainw::kWindow, mainw::kLend, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().back(), lockSaid);
    program->fire(mainw::kWindow, mainw::kDeleteReader, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().back(), lockSaid);

    other.release();
    program->fire(mainw::kWindow, mainw::kViewReader, ui::Event::Clicked);
    EXPECT_EQ(main.control(mainw::kName).text(), "张三");
}

// A lock met while the readers are listed or a lend state is read is a
// failure, not an empty table: no "0 readers", no lent book taken for one
// never lent.
TEST_F(DamageAndLock, ALockIsNeitherNoReadersNorABookNeverLent) {
    shortLockWait = true;
    ui::Window& main = openMainWindow();
    store::Connection& connection = program->library().database.connection;
    ASSERT_TRUE(
        connection.execute("insert into 读者数据 values(?,?,?,?,?,?)",
                           {"1班", "张三", "201409001", "A00001|", "2015年11月1日|", "书|"}));
    ASSERT_TRUE(connection.execute("insert into 借出数据 values(?,?)", {"A00001", "201409001"}));
    LockingProcess other(databasePath());
    if (!other.holding()) {
        GTEST_SKIP() << "python3 with sqlite3 is needed to hold the lock";
    }
    main.control(mainw::kTabs).setCurrentPage(mainw::kPageReaders);
    program->fire(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged);
    EXPECT_NE(main.control(mainw::kReaderCount).text(), "当前读者数量：0个");
    EXPECT_FALSE(library::lendStateHolders(program->library().database, "A00001"));

    other.release();
    main.control(mainw::kTabs).setCurrentPage(mainw::kPageLending);
    program->fire(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged);
    main.control(mainw::kTabs).setCurrentPage(mainw::kPageReaders);
    program->fire(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged);
    EXPECT_EQ(main.control(mainw::kReaderCount).text(), "当前读者数量：1个");
    EXPECT_EQ(library::lendStateHolders(program->library().database, "A00001"),
              std::vector<std::string>{"201409001"});
}

// The overview and the statistics under a lock say the lock, and the query
// that met it lets go of the shared record set: both read again once it ends.
TEST_F(DamageAndLock, ALockDuringTheOverviewIsSaidAndLetGo) {
    ui::Window& main = openMainWindow();
    ASSERT_TRUE(program->library().database.connection.execute(
        "insert into 读者数据 values(?,?,?,?,?,?)",
        {"1班", "张三", "201409001", "A00001|", "2015年11月1日|", "书|"}));
    main.control(mainw::kOverdueDays).setText("1");
    main.control(mainw::kStatisticsYear).setText("2015");
    LockingProcess other(databasePath());
    if (!other.holding()) {
        GTEST_SKIP() << "python3 with sqlite3 is needed to hold the lock";
    }
    program->fire(mainw::kWindow, mainw::kShowOverdue, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().back(), store::kBusyCause);
    program->fire(mainw::kWindow, mainw::kShowStatistics, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().back(), store::kBusyCause);

    other.release();
    const std::size_t said = messageTexts().size();
    program->fire(mainw::kWindow, mainw::kShowOverdue, ui::Event::Clicked);
    EXPECT_EQ(main.control(mainw::kOverdueList).listView().rowCount(), 1);
    program->fire(mainw::kWindow, mainw::kShowStatistics, ui::Event::Clicked);
    EXPECT_EQ(main.control(mainw::kIdleReaders).listView().rowCount(), 1);
    EXPECT_EQ(messageTexts().size(), said);
}

} // namespace
} // namespace chengxi::testing
