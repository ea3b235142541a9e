#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::ui {
namespace {

// Every control of both forms: unique names, known parents, on a real page,
// and inside its parent's area (a status label of the form overhangs its
// tab control by a pixel, so a few pixels are let pass; a mistyped number is not).
TEST(Forms, ControlsAreConsistentWithTheirParents) {
    for (const FormRecord* form : {&loginForm(), &mainForm()}) {
        std::set<std::string_view> names;
        for (const ControlRecord& control : form->controls) {
            EXPECT_TRUE(names.insert(control.name).second) << control.name;
        }
        const Window window(*form);
        for (const ControlRecord& control : form->controls) {
            if (control.width == 0 && control.height == 0) {
                continue; // objects without a window of their own
            }
            int parentWidth = form->width;
            int parentHeight = form->height;
            if (!control.parent.empty()) {
                const Control* parent = window.find(control.parent);
                ASSERT_NE(parent, nullptr) << control.name;
                parentWidth = parent->width();
                parentHeight = parent->height();
                if (parent->kind() == ControlKind::TabControl) {
                    EXPECT_GE(control.page, 0) << control.name;
                    EXPECT_LT(control.page, static_cast<int>(parent->pageCaptions().size()));
                }
            }
            EXPECT_GE(control.left, 0) << control.name;
            EXPECT_GE(control.top, 0) << control.name;
            constexpr int overhang = 4;
            EXPECT_LE(control.left + control.width, parentWidth + overhang) << control.name;
            EXPECT_LE(control.top + control.height, parentHeight + overhang) << control.name;
        }
    }
}

TEST(Forms, WindowsHaveTheirCaptionsSizesAndDefaultButton) {
    const Window login(loginForm());
    EXPECT_EQ(login.caption(), "澄溪图书管理系统 － 登录");
    EXPECT_EQ(login.width(), 380);
    EXPECT_EQ(login.height(), 250);
    EXPECT_TRUE(login.control(names::login::kLogIn).isDefaultButton());
    EXPECT_EQ(login.control(names::login::kPassword).inputMode(), InputMode::Password);
    EXPECT_EQ(login.control(names::login::kUserName).inputMode(), InputMode::ReadOnly);

    const Window main(mainForm());
    EXPECT_EQ(main.caption(), "澄溪图书管理系统");
    // The eight pages of the form keep their places; new pages come after them.
    const std::vector<std::string> firstEight = {"修改密码", "数据操作", "导入图书", "导出表格",
                                                 "借阅报表", "读者管理", "搜索图书", "借书还书"};
    const auto& captions = main.control(names::main::kTabs).pageCaptions();
    ASSERT_GE(captions.size(), firstEight.size());
    EXPECT_EQ(std::vector<std::string>(captions.begin(), captions.begin() + 8), firstEight);
    const FileDialogState& dialog = main.control(names::main::kFileDialog).fileDialog();
    EXPECT_EQ(dialog.filter, "Excel 工作簿|*.xls;*.xlsx");
    EXPECT_EQ(dialog.defaultExtension, ".xls");
    EXPECT_EQ(main.control(names::main::kSearchMode).text(), "书名");
}

TEST(ControlModel, ReachabilityFollowsPagesGroupsAndDisabledParents) {
    Window main(mainForm());
    Control& tabs = main.control(names::main::kTabs);
    const Control& lend = main.control(names::main::kLend);
    const Control& inGroup = main.control(names::main::kBookState);
    tabs.setCurrentPage(names::main::kPageLending);
    EXPECT_TRUE(main.isUsable(lend));
    EXPECT_TRUE(main.isShown(inGroup));

    tabs.setCurrentPage(names::main::kPageSearch);
    EXPECT_FALSE(main.isShown(lend));
    EXPECT_FALSE(main.isShown(inGroup));                             // through its group box
    EXPECT_FALSE(main.isUsable(main.control(names::main::kPageUp))); // disabled at start
    EXPECT_TRUE(main.isUsable(main.control(names::main::kSearch)));

    tabs.setDisabled(true);
    EXPECT_FALSE(main.isUsable(main.control(names::main::kSearch)));
    EXPECT_TRUE(main.isShown(main.control(names::main::kSearch)));
}

// A row appended as the database stores it reads as UTF-8 whichever way it
// is read first, and a cell written into it leaves the others decoded.
TEST(ControlModel, ListViewEncodedRowsReadDecoded) {
    Window main(mainForm());
    ListView& list = main.control(names::main::kLoanList).listView();
    // 红楼梦 and 张三 in code page 936, and a byte no character starts with.
    const std::vector<std::string_view> stored = {"A1", "\xBA\xEC\xC2\xA5\xC3\xCE",
                                                  "\xD5\xC5\xC8\xFD", "\xFF"};
    const int first = list.appendEncodedRow(stored);
    const int second = list.appendEncodedRow(stored);
    const int third = list.appendEncodedRow(stored);
    EXPECT_EQ(list.cell(first, 1), "红楼梦");
    EXPECT_EQ(list.row(second),
              (std::vector<std::string>{"A1", "红楼梦", "张三", "\xEE\xBF\xBF", ""}));
    list.setCell(third, 0, "图书");
    EXPECT_EQ(list.row(third),
              (std::vector<std::string>{"图书", "红楼梦", "张三", "\xEE\xBF\xBF", ""}));
    EXPECT_EQ(list.row(first), list.row(second)); // read twice, decoded once
    // The stored bytes stay matchable after a read, not after a change.
    EXPECT_EQ(list.storedCell(first, 2), stored[2]);
    EXPECT_EQ(list.storedCell(first, 4), std::nullopt);
    EXPECT_EQ(list.storedCell(third, 2), std::nullopt);
    EXPECT_EQ(list.storedCell(list.appendRow(), 0), std::nullopt);
}

TEST(ControlModel, ListViewCellsStayWithinRowsAndColumns) {
    Window main(mainForm());
    ListView& list = main.control(names::main::kLoanList).listView();
    const int row = list.appendRow();
    list.setCell(row, 0, "A00001");
    list.setCell(row, 5, "beyond the columns");
    list.setCell(3, 0, "beyond the rows");
    EXPECT_EQ(list.row(row), (std::vector<std::string>{"A00001", "", "", "", ""}));
    EXPECT_EQ(list.cell(row, 5), "");
    EXPECT_EQ(list.cell(-1, 0), "");
    list.setSelected(0);
    EXPECT_EQ(list.selected(), 0);
    list.setSelected(7);
    EXPECT_EQ(list.selected(), -1);
    list.setSelected(0);
    list.clearRows();
    EXPECT_EQ(list.selected(), -1);
    list.setViewType(9);
    EXPECT_EQ(list.viewType(), 3);
}

TEST(ControlModel, SampleListHoldsItsTwoFixedRows) {
    const Window main(mainForm());
    const ListView& sample = main.control(names::main::kSampleList).listView();
    ASSERT_EQ(sample.rowCount(), 2);
    EXPECT_EQ(sample.columns().size(), 16u);
    EXPECT_EQ(sample.cell(0, 15), "是否借出");
    EXPECT_EQ(sample.cell(1, 5), "纸风筝丛书--彼若盛花（上下册）");
    EXPECT_EQ(sample.columns()[0].alignment, Alignment::Left);
    EXPECT_EQ(sample.columns()[1].alignment, Alignment::Centre);
}

TEST(ControlModel, DrawingCountsLinesAndSpellsTheText) {
    Window login(loginForm());
    Drawing& drawing = login.control(names::login::kCodePanel).drawing();
    drawing.line(0, 0, 10, 10);
    drawing.text(1, 2, "7");
    drawing.text(30, 2, "K");
    EXPECT_EQ(drawing.lineCount(), 1);
    EXPECT_EQ(drawing.drawnText(), "7K");
    drawing.clear();
    EXPECT_TRUE(drawing.commands().empty());
    drawing.setPenWidth(-3);
    EXPECT_EQ(drawing.penWidth(), 0);
    drawing.setPenWidth(40000);
    EXPECT_EQ(drawing.penWidth(), 32767);
}

} // namespace
} // namespace chengxi::ui
