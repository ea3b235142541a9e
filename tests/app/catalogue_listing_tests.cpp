// The book listing as the screen sees it: the status line first, then each
// row shown as soon as it is added, all while the search button is disabled.
#include "app/program.h"
#include "store/connection.h"
#include "support/scripted_screen.h"
#include "support/temp_folder.h"
#include "text/file_path.h"
#include "ui/forms/control_names.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace chengxi::testing {
namespace {

namespace names = ui::names::main;

// One "repaint now": which control, and what the page looked like then.
struct Shown {
    std::string control;
    int rows = 0;
    std::string status;
    bool searchDisabled = false;
    friend bool operator==(const Shown&, const Shown&) = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& shown) {
    return out << shown.control << " rows=" << shown.rows << " status=" << shown.status
               << " disabled=" << shown.searchDisabled;
}

class RecordingScreen final : public ui::Screen {
public:
    ui::Answer messageBox(const ui::Message& message) override {
        messages.push_back(message.text);
        return ui::Answer::Ok;
    }
    void repaintNow(const ui::Window& window, const ui::Control& control) override {
        shown.push_back({std::string(control.name()),
                         window.control(names::kSearchResults).listView().rowCount(),
                         window.control(names::kSearchStatus).text(),
                         window.control(names::kSearch).disabled()});
    }
    bool showFileDialog(ui::FileDialogState&) override { return false; }
    void setClipboardText(const std::string&) override {}
    std::string clipboardText() override { return {}; }
    void windowOpened(ui::Window&) override {}
    void windowClosing(ui::Window&) override {}
    void programEnded(int) override {}

    std::vector<Shown> shown;
    std::vector<std::string> messages;
};

class CatalogueListing : public ::testing::Test {
protected:
    void SetUp() override {
        program = std::make_unique<app::Program>(
            app::ProgramPaths{folder.utf8(), text::joinPath(folder.utf8(), "mzqk.ini")}, screen,
            clock);
        program->start();
        program->showMainWindow();
        ASSERT_NE(program->window(names::kWindow), nullptr);
        store::Connection& connection = program->library().database.connection;
        for (const char* title : {"红楼梦", "西游记", "红楼梦诗词", "脂评红楼梦"}) {
            ASSERT_TRUE(
                connection.execute("insert into 图书数据 (书名) values (?)", {std::string(title)}));
        }
    }

    ui::Window& main() { return *program->window(names::kWindow); }

    scenario::TempFolder folder{"chengxi-test-catalogue"};
    RecordingScreen screen;
    scenario::ScriptedClock clock;
    std::unique_ptr<app::Program> program;
};

TEST_F(CatalogueListing, SearchShowsEveryRowAsItComesWithTheButtonDisabled) {
    main().control(names::kSearchText).setText("红楼梦");
    program->fire(names::kWindow, names::kSearch, ui::Event::Clicked);

    const std::string showing = "正在显示符合条件的图书";
    const std::vector<Shown> expected{
        {std::string(names::kSearchStatus), 0, showing, true},
        {std::string(names::kSearchResults), 1, showing, true},
        {std::string(names::kSearchResults), 2, showing, true},
        {std::string(names::kSearchResults), 3, showing, true},
        {std::string(names::kSearchStatus), 3, "查询结束，耗时0秒，搜索到3个记录，当前图书总数：4",
         true},
    };
    EXPECT_EQ(screen.shown, expected);
    EXPECT_FALSE(main().control(names::kSearch).disabled());
    EXPECT_TRUE(screen.messages.empty());
}

TEST_F(CatalogueListing, BrowsingShowsThePageRowByRowThenTheTotal) {
    ui::Control& mode = main().control(names::kSearchMode);
    mode.setCurrentItem(3);
    ASSERT_EQ(mode.text(), "全部图书");
    program->fire(names::kWindow, names::kSearchMode, ui::Event::SelectionChanged);
    main().control(names::kRowsPerPage).setText("2");
    program->fire(names::kWindow, names::kSearch, ui::Event::Clicked);
    screen.shown.clear();
    program->fire(names::kWindow, names::kPageDown, ui::Event::Clicked);

    const std::string showing = "正在显示符合条件的图书";
    const std::vector<Shown> expected{
        {std::string(names::kSearchStatus), 0, showing, false},
        {std::string(names::kSearchResults), 1, showing, false},
        {std::string(names::kSearchResults), 2, showing, false},
        {std::string(names::kSearchStatus), 2, "浏览全部图书，当前图书总数：4", false},
    };
    EXPECT_EQ(screen.shown, expected);
    const ui::ListView& results = main().control(names::kSearchResults).listView();
    EXPECT_EQ(results.row(0), (std::vector<std::string>{"3", "红楼梦诗词", "", "", ""}));
    EXPECT_EQ(results.row(1), (std::vector<std::string>{"4", "脂评红楼梦", "", "", ""}));
}

} // namespace
} // namespace chengxi::testing
