#include "app/program_fixture.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "ui/forms/control_names.h"

namespace chengxi::testing {
namespace {

namespace names = ui::names::main;

class Circulation : public ProgramFixture {
protected:
    ui::Window& openLibrary() {
        ui::Window& main = openMainWindow();
        store::Connection& connection = program->library().database.connection;
        EXPECT_TRUE(connection.execute(
            "insert into 读者数据 values('1班','张三','201409001','0','0','0')"));
        EXPECT_TRUE(
            connection.execute("insert into 图书数据 (图书编号, 书名) values('A00001','红楼梦')"));
        return main;
    }

    // The first column of the first row, read through a connection of its own.
    std::string firstValue(const char* sql) {
        store::Connection connection;
        store::RecordSet records;
        if (!connection.open(databasePath(), false) || !records.open(connection, sql) ||
            !records.toFirst() || !records.nextRow()) {
            return "<none>";
        }
        return records.read(0);
    }

    // Another program reading the database: its shared lock keeps any
    // commit of ours from finishing.
    void holdReadLock(store::Connection& other) {
        ASSERT_TRUE(other.open(databasePath(), false));
        ASSERT_TRUE(other.execute("BEGIN"));
        ASSERT_TRUE(other.execute("select count(*) from 读者数据"));
    }

    void click(std::string_view button) {
        program->fire(names::kWindow, button, ui::Event::Clicked);
    }
};

TEST_F(Circulation, ACommitThatCannotFinishStoresNothingAndSaysSo) {
    shortLockWait = true;
    ui::Window& main = openLibrary();
    const ui::ListView& loans = main.control(names::kLoanList).listView();
    {
        store::Connection other;
        holdReadLock(other);
        click(names::kLend);
    }
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"借书记录未能保存，请重新尝试借书操作！"});
    EXPECT_EQ(main.control(names::kBookState).text(), "借书未能保存！");
    EXPECT_EQ(loans.rowCount(), 0);
    EXPECT_EQ(main.control(names::kReaderSummary).text(), "班别：1班  姓名：张三  已借图书：0 本");
    EXPECT_EQ(firstValue("select count(*) from 借阅报表"), "0");
    EXPECT_EQ(firstValue("select count(*) from 借出数据"), "0");
    EXPECT_EQ(firstValue("select 图书编号串 from 读者数据"), "0");
    EXPECT_FALSE(program->library().database.connection.inTransaction());

    click(names::kLend);
    ASSERT_EQ(loans.rowCount(), 1);
    main.control(names::kLoanList).listView().setSelected(0);
    {
        store::Connection other;
        holdReadLock(other);
        click(names::kReturn);
    }
    EXPECT_EQ(messageTexts().back(), "还书记录未能保存，请重新尝试还书操作！");
    EXPECT_EQ(main.control(names::kBookState).text(), "还书未能保存！");
    EXPECT_EQ(loans.rowCount(), 1);
    EXPECT_EQ(firstValue("select 还书日期 from 借阅报表"), "");
    EXPECT_EQ(firstValue("select 借书证号 from 借出数据"), "201409001");
    EXPECT_EQ(firstValue("select 图书编号串 from 读者数据"), "A00001|");
    EXPECT_FALSE(program->library().database.connection.inTransaction());
}

TEST_F(Circulation, ReportYearMeetsTheTextColumnAsADecimalNumber) {
    ui::Window& main = openLibrary();
    store::Connection& connection = program->library().database.connection;
    for (const char* year : {"2015", "02015", "2015.0", "2016"}) {
        ASSERT_TRUE(connection.execute("insert into 借阅报表 values(?,'A1','书','1班 张三','','')",
                                       {year}));
    }
    const ui::ListView& report = main.control(names::kReportList).listView();
    main.control(names::kYear).setText("02015");
    click(names::kShowReport);
    EXPECT_EQ(report.rowCount(), 1);
    // Text that is no decimal number runs no statement and lists nothing.
    for (const char* year : {"2015 or 1=1", "", "2015.0", "99999999999999999999"}) {
        main.control(names::kYear).setText(year);
        click(names::kShowReport);
        EXPECT_EQ(report.rowCount(), 0) << year;
    }
}

// The list and the export read the year box by one rule: a sign makes no
// year, even where a row was stored with one.
TEST_F(Circulation, ASignedYearListsNothing) {
    ui::Window& main = openLibrary();
    store::Connection& connection = program->library().database.connection;
    for (const char* year : {"2015", "-2015"}) {
        ASSERT_TRUE(connection.execute("insert into 借阅报表 values(?,'A1','书','1班 张三','','')",
                                       {year}));
    }
    const ui::ListView& report = main.control(names::kReportList).listView();
    for (const char* year : {"+2015", "-2015"}) {
        main.control(names::kYear).setText(year);
        click(names::kShowReport);
        EXPECT_EQ(report.rowCount(), 0) << year;
    }
}

TEST_F(Circulation, AReturnByScanThatCannotCommitKeepsTheLoan) {
    shortLockWait = true;
    ui::Window& main = openLibrary();
    click(names::kLend);
    {
        store::Connection other;
        holdReadLock(other);
        click(names::kReturnByBook);
    }
    EXPECT_EQ(messageTexts().back(), "还书记录未能保存，请重新尝试还书操作！");
    EXPECT_EQ(main.control(names::kBookState).text(), "还书未能保存！");
    EXPECT_EQ(main.control(names::kLoanList).listView().rowCount(), 1);
    EXPECT_EQ(firstValue("select 借书证号 from 借出数据"), "201409001");
    EXPECT_EQ(firstValue("select 图书编号串 from 读者数据"), "A00001|");
    EXPECT_FALSE(program->library().database.connection.inTransaction());
}

TEST_F(Circulation, LentBooksStandOutInTheSearchResults) {
    ui::Window& main = openLibrary();
    store::Connection& connection = program->library().database.connection;
    ASSERT_TRUE(
        connection.execute("insert into 图书数据 (图书编号, 书名) values('A00002','红楼梦续')"));
    ASSERT_TRUE(
        connection.execute("insert into 图书数据 (图书编号, 书名) values('A00003','红楼梦补')"));
    ASSERT_TRUE(connection.execute("insert into 借出数据 values('A00003','0')"));
    click(names::kLend); // A00001
    main.control(names::kTabs).setCurrentPage(names::kPageSearch);
    click(names::kSearch); // 红楼梦, by title
    const ui::ListView& results = main.control(names::kSearchResults).listView();
    ASSERT_EQ(results.rowCount(), 3);
    EXPECT_TRUE(results.rowMarked(0));
    EXPECT_FALSE(results.rowMarked(1));
    EXPECT_FALSE(results.rowMarked(2)); // its 借出数据 row says "on the shelf"

    // A list too long to ask about by number matches every lent book as
    // stored, a number in Chinese characters too.
    ASSERT_TRUE(connection.execute("begin"));
    for (int i = 0; i < 400; ++i) {
        ASSERT_TRUE(connection.execute("insert into 图书数据 (图书编号, 书名) values(?, '红楼梦')",
                                       {"B" + std::to_string(i)}));
    }
    ASSERT_TRUE(
        connection.execute("insert into 图书数据 (图书编号, 书名) values('甲001','红楼梦')"));
    ASSERT_TRUE(connection.execute("insert into 借出数据 values('甲001','201409002')"));
    ASSERT_TRUE(connection.execute("commit"));
    click(names::kSearch);
    ASSERT_EQ(results.rowCount(), 404);
    std::vector<std::string> marked;
    for (int row = 0; row < results.rowCount(); ++row) {
        if (results.rowMarked(row)) {
            marked.push_back(results.cell(row, 3));
        }
    }
    EXPECT_EQ(marked, (std::vector<std::string>{"A00001", "甲001"}));
}

} // namespace
} // namespace chengxi::testing
