// A window built from its form: every control in place with its text, and a
// person's actions reported as the right events.
#include "app/qt/event_spin_box.h"
#include "app/qt/qt_text.h"
#include "app/qt/tab_control.h"
#include "qt_test_support.h"
#include "text/cp936.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace chengxi::testing {
namespace {

using qt::FormWindow;
using qt::TabControl;
using qt::toQString;
using ui::ControlKind;
using ui::Event;
namespace login = ui::names::login;
namespace mainw = ui::names::main;

bool hasWindow(ui::ControlKind kind) {
    return kind != ui::ControlKind::FileDialog && kind != ui::ControlKind::SpreadsheetApplication &&
           kind != ui::ControlKind::Workbook && kind != ui::ControlKind::WorkbookConnection;
}

QLineEdit* editOf(QWidget* widget) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit;
    }
    if (auto* spin = qobject_cast<qt::EventSpinBox*>(widget)) {
        return spin->editor();
    }
    return nullptr;
}

// The text a person sees on the control's widget.
QString shownText(QWidget* widget) {
    if (QLineEdit* edit = editOf(widget)) {
        return edit->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        return box->title();
    }
    return {};
}

class FormWindowTest : public ::testing::Test {
protected:
    FormWindow& open(const ui::FormRecord& record) {
        model = std::make_unique<ui::Window>(record);
        form = std::make_unique<FormWindow>(*model, host);
        form->show();
        return *form;
    }

    template <class Widget> Widget* widget(std::string_view name) const {
        auto* found = qobject_cast<Widget*>(form->controlWidget(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The widget the form puts a control's widget in.
    QWidget* expectedParent(const ui::FormRecord& record, const ui::ControlRecord& control) const {
        if (control.parent.empty()) {
            return form.get();
        }
        for (const ui::ControlRecord& parent : record.controls) {
            if (parent.name == control.parent && parent.kind == ui::ControlKind::TabControl) {
                return widget<TabControl>(parent.name)->page(control.page);
            }
        }
        return form->controlWidget(control.parent);
    }

    void expectMatchesForm(const ui::FormRecord& record) {
        EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(form->size(), QSize(record.width, record.height));
        EXPECT_EQ(form->minimumSize(), form->maximumSize());
        EXPECT_EQ(form->windowTitle(), toQString(record.caption));
        for (const ui::ControlRecord& control : record.controls) {
            SCOPED_TRACE(std::string(control.name));
            QWidget* shown = form->controlWidget(control.name);
            if (!hasWindow(control.kind)) {
                EXPECT_EQ(shown, nullptr);
                continue;
            }
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown->geometry(),
                      QRect(control.left, control.top, control.width, control.height));
            EXPECT_EQ(shown->parentWidget(), expectedParent(record, control));
            EXPECT_EQ(shown->isEnabledTo(form.get()), !control.disabled);
            if (!control.text.empty()) {
                EXPECT_EQ(shownText(shown), toQString(control.text));
            }
        }
    }

    RecordingHost host;
    std::unique_ptr<ui::Window> model;
    std::unique_ptr<FormWindow> form;
};

TEST_F(FormWindowTest, LoginWindowHasEveryControlOfItsFormInPlace) {
    open(ui::loginForm());
    expectMatchesForm(ui::loginForm());
}

TEST_F(FormWindowTest, MainWindowHasEveryControlOfItsFormOnItsPage) {
    open(ui::mainForm());
    expectMatchesForm(ui::mainForm());

    auto* tabs = widget<TabControl>(mainw::kTabs);
    const ui::Control& tabModel = model->control(mainw::kTabs);
    ASSERT_EQ(tabs->pageCount(), static_cast<int>(tabModel.pageCaptions().size()));
    for (int page = 0; page < tabs->pageCount(); ++page) {
        EXPECT_EQ(tabs->tabBar()->tabText(page), toQString(tabModel.pageCaptions()[page]));
    }

    auto* combo = widget<QComboBox>(mainw::kSearchMode);
    const auto& modes = model->control(mainw::kSearchMode).items();
    ASSERT_EQ(combo->count(), static_cast<int>(modes.size()));
    for (int item = 0; item < combo->count(); ++item) {
        EXPECT_EQ(combo->itemText(item), toQString(modes[item]));
    }
    EXPECT_EQ(combo->currentIndex(), 0);
}

TEST_F(FormWindowTest, ListViewsShowTheirColumnsAndFixedRows) {
    open(ui::mainForm());
    for (std::string_view name : {mainw::kReportList, mainw::kLoanList, mainw::kReaderList,
                                  mainw::kSearchResults, mainw::kSampleList}) {
        SCOPED_TRACE(std::string(name));
        const ui::ListView& list = model->control(name).listView();
        auto* table = widget<QTableView>(name);
        const QAbstractItemModel* rows = table->model();
        ASSERT_EQ(rows->columnCount(), static_cast<int>(list.columns().size()));
        ASSERT_EQ(rows->rowCount(), list.rowCount());
        for (int column = 0; column < rows->columnCount(); ++column) {
            const ui::ListColumn& wanted = list.columns()[column];
            EXPECT_EQ(rows->headerData(column, Qt::Horizontal).toString(),
                      toQString(wanted.caption));
            EXPECT_EQ(table->horizontalHeader()->sectionSize(column), wanted.width);
            const auto align =
                rows->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<int>();
            EXPECT_EQ((align & Qt::AlignHCenter) != 0, wanted.alignment == ui::Alignment::Centre);
            for (int row = 0; row < rows->rowCount(); ++row) {
                EXPECT_EQ(rows->index(row, column).data().toString(),
                          toQString(list.cell(row, column)));
            }
        }
    }
    // The sample shows the book workbook's two rows.
    EXPECT_EQ(widget<QTableView>(mainw::kSampleList)->model()->index(1, 5).data().toString(),
              QStringLiteral("纸风筝丛书--彼若盛花（上下册）"));
}

TEST_F(FormWindowTest, EditBoxesFollowTheirInputMode) {
    open(ui::mainForm());
    auto* password = widget<QLineEdit>(mainw::kOldPassword);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(
        password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password),
        '*');

    for (std::string_view name : {mainw::kUserName, mainw::kSelectedBook, mainw::kYear}) {
        EXPECT_TRUE(editOf(form->controlWidget(name))->isReadOnly()) << name;
    }
    EXPECT_FALSE(widget<QLineEdit>(mainw::kSearchText)->isReadOnly());

    // Digits only; what is typed reaches the model and runs nothing.
    model->control(mainw::kTabs).setCurrentPage(mainw::kPageSearch);
    host.sync(*form);
    auto* rows = widget<QLineEdit>(mainw::kRowsPerPage);
    rows->selectAll();
    QTest::keyClicks(rows, "7x-8 9");
    EXPECT_EQ(rows->text(), QStringLiteral("789"));
    EXPECT_EQ(model->control(mainw::kRowsPerPage).text(), "789");
    EXPECT_TRUE(host.fired.empty());
}

TEST_F(FormWindowTest, EnterPressesTheDefaultButtonWhileItCanBeUsed) {
    open(ui::loginForm());
    auto* password = widget<QLineEdit>(login::kPassword);
    QTest::keyClicks(password, "secret");
    EXPECT_EQ(model->control(login::kPassword).text(), "secret");
    QTest::keyClick(password, Qt::Key_Return);
    ASSERT_EQ(host.fired.size(), 1u);
    EXPECT_EQ(host.fired[0],
              (FiredEvent{"login", std::string(login::kLogIn), ui::Event::Clicked, 0}));

    QTest::keyClick(widget<QLineEdit>(login::kCode), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(host.fired.size(), 2u);

    model->control(login::kLogIn).setDisabled(true);
    host.sync(*form);
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_EQ(host.fired.size(), 2u);
}

TEST_F(FormWindowTest, SpinButtonsOnlyReportTheirDirection) {
    open(ui::mainForm());
    model->control(mainw::kTabs).setCurrentPage(mainw::kPageReport);
    host.sync(*form);
    auto* year = widget<qt::EventSpinBox>(mainw::kYear);
    year->stepUp();
    year->stepDown();
    QTest::keyClick(year, Qt::Key_Up);
    const std::string name(mainw::kYear);
    EXPECT_EQ(host.fired, (std::vector<FiredEvent>{{"main", name, ui::Event::Spin, 1},
                                                   {"main", name, ui::Event::Spin, -1},
                                                   {"main", name, ui::Event::Spin, 1}}));
    EXPECT_EQ(year->editor()->text(), QStringLiteral("2015"));
    EXPECT_EQ(model->control(mainw::kYear).text(), "2015");
}

TEST_F(FormWindowTest, PersonChoicesChangeTheModelThenRaiseTheirEvent) {
    open(ui::mainForm());

    auto* tabs = widget<TabControl>(mainw::kTabs);
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(mainw::kPageSearch).center());
    EXPECT_EQ(model->control(mainw::kTabs).currentPage(), mainw::kPageSearch);
    EXPECT_TRUE(tabs->page(mainw::kPageSearch)->isVisible());
    EXPECT_FALSE(tabs->page(mainw::kPagePassword)->isVisible());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(mainw::kPageSearch).center());

    auto* combo = widget<QComboBox>(mainw::kSearchMode);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(model->control(mainw::kSearchMode).currentItem(), 1);
    EXPECT_EQ(model->control(mainw::kSearchMode).text(), "图书编号");

    ui::ListView& results = model->control(mainw::kSearchResults).listView();
    for (int row = 0; row < 3; ++row) {
        results.setCell(results.appendRow(), 3, "A0000" + std::to_string(row));
    }
    host.sync(*form);
    auto* table = widget<QTableView>(mainw::kSearchResults);
    const QPoint second = table->visualRect(table->model()->index(1, 3)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(results.selected(), 1);

    QTest::mouseClick(widget<QPushButton>(mainw::kSearch), Qt::LeftButton);
    QTest::mouseClick(widget<QAbstractButton>(mainw::kClose), Qt::LeftButton);

    // Choosing what is already chosen raises nothing.
    EXPECT_EQ(host.fired,
              (std::vector<FiredEvent>{
                  {"main", std::string(mainw::kTabs), ui::Event::PageChanged, 0},
                  {"main", std::string(mainw::kSearchMode), ui::Event::SelectionChanged, 0},
                  {"main", std::string(mainw::kSearchResults), ui::Event::RowSelected, 0},
                  {"main", std::string(mainw::kSearch), ui::Event::Clicked, 0},
                  {"main", std::string(mainw::kClose), ui::Event::Clicked, 0}}));
}

TEST_F(FormWindowTest, SyncShowsTheModelWithoutRaisingEvents) {
    open(ui::mainForm());
    model->control(mainw::kTabs).setCurrentPage(mainw::kPageExport);
    model->control(mainw::kSearchMode).setCurrentItem(3);
    ui::ListView& results = model->control(mainw::kSearchResults).listView();
    results.appendRow();
    results.appendRow();
    results.setSelected(1);
    model->control(mainw::kExportBooks).setDisabled(true);
    model->control(mainw::kProgressCaption).setVisible(false);
    model->control(mainw::kBookState).setText("可借 <b>");
    ui::Control& progress = model->control(mainw::kExportProgress);
    progress.setMaximum(200);
    progress.setPosition(50);
    host.sync(*form);

    EXPECT_TRUE(host.fired.empty());
    EXPECT_EQ(widget<TabControl>(mainw::kTabs)->currentPage(), mainw::kPageExport);
    EXPECT_TRUE(widget<TabControl>(mainw::kTabs)->page(mainw::kPageExport)->isVisible());
    EXPECT_EQ(widget<QComboBox>(mainw::kSearchMode)->currentIndex(), 3);
    const QModelIndexList selected =
        widget<QTableView>(mainw::kSearchResults)->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().row(), 1);
    EXPECT_FALSE(widget<QPushButton>(mainw::kExportBooks)->isEnabled());
    EXPECT_TRUE(widget<QLabel>(mainw::kProgressCaption)->isHidden());
    EXPECT_EQ(widget<QLabel>(mainw::kBookState)->text(), QStringLiteral("可借 <b>"));
    EXPECT_EQ(widget<QLabel>(mainw::kBookState)->textFormat(), Qt::PlainText);
    EXPECT_EQ(widget<QProgressBar>(mainw::kExportProgress)->maximum(), 200);
    EXPECT_EQ(widget<QProgressBar>(mainw::kExportProgress)->value(), 50);

    results.clearRows();
    host.sync(*form);
    EXPECT_TRUE(
        widget<QTableView>(mainw::kSearchResults)->selectionModel()->selectedRows().isEmpty());
    EXPECT_TRUE(host.fired.empty());
}

// A byte the database holds that is not GBK text is shown as the replacement
// mark, and stays in the model as it was until the librarian types; a private
// code point typed never becomes a byte.
TEST_F(FormWindowTest, BytesThatAreNotGbkShowAsTheReplacementMark) {
    open(ui::mainForm());
    const std::string cut = text::fromCp936("\xBA\xEC\xCD"); // 红 and a lone lead byte
    const QString shown = QStringLiteral("红") + QChar(0xFFFD);
    model->control(mainw::kBookState).setText(cut);
    model->control(mainw::kClass).setText(cut);
    ui::ListView& loans = model->control(mainw::kLoanList).listView();
    loans.setCell(loans.appendRow(), 1, cut);
    host.sync(*form);
    EXPECT_EQ(widget<QLabel>(mainw::kBookState)->text(), shown);
    EXPECT_EQ(widget<QTableView>(mainw::kLoanList)->model()->index(0, 1).data().toString(), shown);
    auto* box = widget<QLineEdit>(mainw::kClass);
    EXPECT_EQ(box->text(), shown);
    EXPECT_EQ(model->control(mainw::kClass).text(), cut);

    box->setFocus();
    QInputMethodEvent typing;
    typing.setCommitString(QString(QChar(0xEFCD)));
    QCoreApplication::sendEvent(box, &typing);
    EXPECT_EQ(model->control(mainw::kClass).text(), "红\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST_F(FormWindowTest, FocusAndWindowStateGoBothWays) {
    open(ui::loginForm());
    model->setFocus(login::kCode);
    host.sync(*form);
    EXPECT_EQ(form->focusWidget(), form->controlWidget(login::kCode));

    form->personFocused(form->controlWidget(login::kPassword));
    EXPECT_EQ(model->focus(), login::kPassword);

    model->setWindowState(2);
    host.sync(*form);
    EXPECT_TRUE(form->isMinimized());
    form->showNormal(); // restored by a person, from the task bar
    EXPECT_EQ(model->windowState(), 0);
}

TEST_F(FormWindowTest, HeaderDragsTheWindowAndTheRestDoesNot) {
    open(ui::loginForm());
    const QPoint start = form->pos();
    // Where the platform cannot move the window itself, it follows the mouse.
    QTest::mousePress(form.get(), Qt::LeftButton, {}, QPoint(260, 10));
    QTest::mouseMove(form.get(), QPoint(300, 30));
    QTest::mouseRelease(form.get(), Qt::LeftButton, {}, QPoint(300, 30));
    EXPECT_EQ(form->pos(), start + QPoint(40, 20));

    QTest::mousePress(form.get(), Qt::LeftButton, {}, QPoint(100, 220));
    QTest::mouseMove(form.get(), QPoint(150, 230));
    QTest::mouseRelease(form.get(), Qt::LeftButton, {}, QPoint(150, 230));
    EXPECT_EQ(form->pos(), start + QPoint(40, 20));
}

TEST_F(FormWindowTest, ClosingFromThePlatformPressesTheCloseButton) {
    open(ui::loginForm());
    EXPECT_FALSE(form->close());
    EXPECT_EQ(host.fired, (std::vector<FiredEvent>{
                              {"login", std::string(login::kClose), ui::Event::Clicked, 0}}));

    // Once the model is gone nothing reaches the program any more.
    form->detach();
    QTest::keyClick(form->controlWidget(login::kPassword), Qt::Key_Return);
    EXPECT_EQ(host.fired.size(), 1u);
    EXPECT_TRUE(form->close());
}

} // namespace
} // namespace chengxi::testing
