// Where the keyboard goes: the first box a person can type into, in reading
// order, on the page in front only.
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace chengxi::ui {
namespace {

namespace mainw = names::main;

class MainWindowFocus : public ::testing::Test {
protected:
    // Brings a page to the front and lets the focus follow it.
    std::string focusOn(int page) {
        window.control(mainw::kTabs).setCurrentPage(page);
        window.focusFirstEntry(mainw::kTabs);
        return window.focus();
    }

    Window window{mainForm()};
};

TEST(Focus, LoginWindowStartsInThePasswordBoxPassingTheReadOnlyUserName) {
    Window login(loginForm());
    EXPECT_TRUE(login.focusFirstEntry());
    EXPECT_EQ(login.focus(), names::login::kPassword);
}

TEST(Focus, ReadingOrderGoesByRowsThenLeftToRightInWindowCoordinates) {
    const Window window(mainForm());
    const std::vector<const Control*> order = window.readingOrder();
    const auto at = [&](std::string_view name) {
        return std::find_if(order.begin(), order.end(),
                            [&](const Control* c) { return c->name() == name; }) -
               order.begin();
    };
    // One row of page 7: the caption at x 55 before the box at 116 before
    // the caption at 465, although the form lists 透明标签13 first.
    EXPECT_LT(at(mainw::kCardCaption), at(mainw::kLoanCard));
    EXPECT_LT(at(mainw::kLoanCard), at(mainw::kBookNumberCaption));
    // A label inside a group box is placed by the box's place on the page:
    // 透明标签_读者信息 at (18, 28) in a box at (50, 83) comes after the row at 33.
    EXPECT_LT(at(mainw::kLoanBook), at(mainw::kReaderSummary));
    const auto [left, top] = window.placeInWindow(window.control(mainw::kReaderSummary));
    const Control& tabs = window.control(mainw::kTabs);
    EXPECT_EQ(left, tabs.left() + 50 + 18);
    EXPECT_EQ(top, tabs.top() + 83 + 28);
}

TEST_F(MainWindowFocus, EachPageGivesItsFirstUsableBoxOrKeepsTheTabs) {
    EXPECT_EQ(focusOn(mainw::kPageLending), mainw::kLoanCard);
    // The read-only user name is passed over.
    EXPECT_EQ(focusOn(mainw::kPagePassword), mainw::kOldPassword);
    EXPECT_EQ(focusOn(mainw::kPageReaders), mainw::kLookupCard);
    EXPECT_EQ(focusOn(mainw::kPageSearch), mainw::kSearchText);
    // No box at all, only disabled path boxes, only a read-only year box.
    EXPECT_EQ(focusOn(mainw::kPageData), mainw::kTabs);
    EXPECT_EQ(focusOn(mainw::kPageImportBooks), mainw::kTabs);
    EXPECT_EQ(focusOn(mainw::kPageExport), mainw::kTabs);
    EXPECT_EQ(focusOn(mainw::kPageReport), mainw::kTabs);
}

TEST_F(MainWindowFocus, ADisabledBoxIsPassedOverForTheNextInTheRow) {
    window.control(mainw::kSearchText).setDisabled(true);
    EXPECT_EQ(focusOn(mainw::kPageSearch), mainw::kRowsPerPage);
}

TEST_F(MainWindowFocus, ABoxOnAHiddenPageNeverTakesTheFocus) {
    focusOn(mainw::kPageLending);
    window.setFocus(mainw::kLookupCard); // page 5, behind
    EXPECT_EQ(window.focus(), mainw::kLoanCard);
    // Without a fallback a page with no box leaves the focus nowhere rather
    // than on a box of the page just left.
    window.control(mainw::kTabs).setCurrentPage(mainw::kPageData);
    EXPECT_FALSE(window.focusFirstEntry());
    EXPECT_EQ(window.focus(), "");
}

} // namespace
} // namespace chengxi::ui
