#include "program_fixture.h"
#include "store/connection.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace chengxi::testing {
namespace {

class PageChange : public ProgramFixture {
protected:
    void addReader(const std::string& card, const std::string& books) {
        store::Connection& connection = program->library().database.connection;
        ASSERT_TRUE(connection.execute("insert into 读者数据 values(?,?,?,?,?,?)",
                                       {"1班", "张三", card, books, "0", "0"}));
    }

    void show(const char* caption) {
        ui::Control& tabs = program->window("main")->control("高级选择夹1");
        const auto& captions = tabs.pageCaptions();
        tabs.setCurrentPage(static_cast<int>(std::find(captions.begin(), captions.end(), caption) -
                                             captions.begin()));
        program->fire("main", "高级选择夹1", ui::Event::PageChanged);
    }
};

TEST_F(PageChange, ReaderListIsFilledOnTheFirstShowingOnly) {
    ui::Window& main = openMainWindow();
    addReader("201409001", "A00001|A00007|");
    addReader("201409002", "0");
    show("读者管理");
    const ui::ListView& list = main.control("超级列表框_显示读者信息").listView();
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.row(0),
              (std::vector<std::string>{"1", "1班", "张三", "201409001", "A00001|A00007|"}));
    // A reader without loans shows an empty loan column, not "0".
    EXPECT_EQ(list.row(1), (std::vector<std::string>{"2", "1班", "张三", "201409002", ""}));
    EXPECT_EQ(main.control("透明标签_当前读者数量").text(), "当前读者数量：2个");

    addReader("201409003", "0");
    show("借书还书");
    show("读者管理");
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(main.control("透明标签_当前读者数量").text(), "当前读者数量：2个");
}

TEST_F(PageChange, DataPageListsBackupFilesEveryTime) {
    ui::Window& main = openMainWindow();
    const ui::Control& backups = main.control("列表框1");
    show("数据操作");
    EXPECT_TRUE(backups.items().empty());

    const auto folder = programFolder.path();
    std::ofstream(folder / text::toPath("数据库2015年11月16日.sdb")) << "x";
    std::filesystem::create_directory(folder / text::toPath("数据库2015年1月1日.sdb"));
    show("借书还书");
    show("数据操作");
    EXPECT_EQ(backups.items(), std::vector<std::string>{text::joinPath(
                                   programFolder.utf8(), "数据库2015年11月16日.sdb")});
}

} // namespace
} // namespace chengxi::testing
