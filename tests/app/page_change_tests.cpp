#include "program_fixture.h"
#include "store/connection.h"
#include "ui/forms/control_names.h"

#include <filesystem>
#include <fstream>

namespace chengxi::testing {
namespace {

namespace mainw = ui::names::main;

class PageChange : public ProgramFixture {
protected:
    void addReader(const std::string& card, const std::string& books) {
        store::Connection& connection = program->library().database.connection;
        ASSERT_TRUE(connection.execute("insert into 读者数据 values(?,?,?,?,?,?)",
                                       {"1班", "张三", card, books, "0", "0"}));
    }

    void show(mainw::Page page) {
        program->window(mainw::kWindow)->control(mainw::kTabs).setCurrentPage(page);
        program->fire(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged);
    }
};

TEST_F(PageChange, ReaderListIsFilledOnTheFirstShowingOnly) {
    ui::Window& main = openMainWindow();
    addReader("201409001", "A00001|A00007|");
    addReader("201409002", "0");
    show(mainw::kPageReaders);
    const ui::ListView& list = main.control(mainw::kReaderList).listView();
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.row(0),
              (std::vector<std::string>{"1", "1班", "张三", "201409001", "A00001|A00007|"}));
    // A reader without loans shows an empty loan column, not "0".
    EXPECT_EQ(list.row(1), (std::vector<std::string>{"2", "1班", "张三", "201409002", ""}));
    EXPECT_EQ(main.control(mainw::kReaderCount).text(), "当前读者数量：2个");

    addReader("201409003", "0");
    show(mainw::kPageLending);
    show(mainw::kPageReaders);
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(main.control(mainw::kReaderCount).text(), "当前读者数量：2个");
}

TEST_F(PageChange, DataPageListsBackupFilesEveryTime) {
    ui::Window& main = openMainWindow();
    const ui::Control& backups = main.control(mainw::kBackupList);
    show(mainw::kPageData);
    EXPECT_TRUE(backups.items().empty());

    const auto folder = programFolder.path();
    std::ofstream(folder / text::toPath("数据库2015年11月16日.sdb")) << "x";
    std::filesystem::create_directory(folder / text::toPath("数据库2015年1月1日.sdb"));
    show(mainw::kPageLending);
    show(mainw::kPageData);
    EXPECT_EQ(backups.items(), std::vector<std::string>{text::joinPath(
                                   programFolder.utf8(), "数据库2015年11月16日.sdb")});
}

// A listing that could not run (here the table is gone) leaves the list
// pending, so the next showing lists the readers instead of an empty page
// until the program is started again.
TEST_F(PageChange, ReaderListStaysPendingUntilAListingRan) {
    ui::Window& main = openMainWindow();
    store::Connection& connection = program->library().database.connection;
    ASSERT_TRUE(connection.execute("ALTER TABLE 读者数据 RENAME TO 读者数据旧"));
    show(mainw::kPageReaders);
    EXPECT_EQ(main.control(mainw::kReaderCount).text(), "当前读者数量：");
    EXPECT_TRUE(program->library().readers.listPending);

    ASSERT_TRUE(connection.execute("ALTER TABLE 读者数据旧 RENAME TO 读者数据"));
    addReader("201409001", "0");
    show(mainw::kPageLending);
    show(mainw::kPageReaders);
    EXPECT_EQ(main.control(mainw::kReaderList).listView().rowCount(), 1);
    EXPECT_EQ(main.control(mainw::kReaderCount).text(), "当前读者数量：1个");
    EXPECT_FALSE(program->library().readers.listPending);
}

} // namespace
} // namespace chengxi::testing
