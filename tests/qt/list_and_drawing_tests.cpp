// Lists read the model's rows without a widget per row; the drawing panel
// paints the model's drawing.
#include "app/qt/qt_text.h"
#include "qt_test_support.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <QChartView>
#include <QColor>
#include <QHeaderView>
#include <QImage>
#include <QListView>
#include <QTableView>
#include <gtest/gtest.h>
#include <memory>

namespace chengxi::testing {
namespace {

using qt::FormWindow;
namespace login = ui::names::login;
namespace mainw = ui::names::main;

class ListAndDrawingTest : public ::testing::Test {
protected:
    void open(const ui::FormRecord& record) {
        model = std::make_unique<ui::Window>(record);
        form = std::make_unique<FormWindow>(*model, host);
        form->show();
    }

    RecordingHost host;
    std::unique_ptr<ui::Window> model;
    std::unique_ptr<FormWindow> form;
};

TEST_F(ListAndDrawingTest, AHundredThousandRowsNeedNoWidgetEach) {
    open(ui::mainForm());
    const auto widgetsBefore = form->findChildren<QWidget*>().size();
    ui::ListView& list = model->control(mainw::kSearchResults).listView();
    constexpr int kRows = 100000;
    for (int row = 0; row < kRows; ++row) {
        list.setCell(list.appendRow(), 1, "书" + std::to_string(row));
    }
    host.sync(*form);

    auto* table = qobject_cast<QTableView*>(form->controlWidget(mainw::kSearchResults));
    ASSERT_NE(table, nullptr);
    const QAbstractItemModel* rows = table->model();
    EXPECT_EQ(rows->rowCount(), kRows);
    EXPECT_EQ(rows->index(kRows - 1, 1).data().toString(), QStringLiteral("书99999"));
    EXPECT_EQ(form->findChildren<QWidget*>().size(), widgetsBefore);

    // Cleared and filled again with fewer rows, then one cell changed.
    list.clearRows();
    list.setCell(list.appendRow(), 1, "红楼梦");
    list.setCell(list.appendRow(), 1, "水浒传");
    host.sync(*form);
    EXPECT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->index(1, 1).data().toString(), QStringLiteral("水浒传"));
    list.setCell(0, 1, "西游记");
    host.sync(*form);
    EXPECT_EQ(rows->index(0, 1).data().toString(), QStringLiteral("西游记"));
}

TEST_F(ListAndDrawingTest, ColumnsAddedLaterShowWithTheirWidthsAndGridLines) {
    open(ui::mainForm());
    auto* table = qobject_cast<QTableView*>(form->controlWidget(mainw::kPreviewList));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->model()->columnCount(), 0);

    ui::ListView& preview = model->control(mainw::kPreviewList).listView();
    preview.setGridLines(true);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        preview.addColumn({std::string(1, letter), 90, ui::Alignment::Centre});
    }
    preview.setCell(preview.appendRow(), 25, "末列");
    host.sync(*form);

    ASSERT_EQ(table->model()->columnCount(), 26);
    EXPECT_EQ(table->model()->headerData(25, Qt::Horizontal).toString(), QStringLiteral("Z"));
    EXPECT_EQ(table->horizontalHeader()->sectionSize(25), 90);
    EXPECT_EQ(table->model()->index(0, 25).data().toString(), QStringLiteral("末列"));
    EXPECT_TRUE(table->showGrid());
}

TEST_F(ListAndDrawingTest, AlertCellsAreRedAndTheChartListShowsAsAChart) {
    open(ui::mainForm());
    ui::ListView& loans = model->control(mainw::kLoanList).listView();
    loans.setCell(loans.appendRow(), 4, "-3");
    loans.setCellAlert(0, 4, true);
    host.sync(*form);
    auto* table = qobject_cast<QTableView*>(form->controlWidget(mainw::kLoanList));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->model()->index(0, 4).data(Qt::ForegroundRole).value<QColor>(),
              QColor(Qt::red));
    EXPECT_FALSE(table->model()->index(0, 3).data(Qt::ForegroundRole).isValid());
    loans.clearRows();
    loans.appendRow();
    host.sync(*form);
    EXPECT_FALSE(table->model()->index(0, 4).data(Qt::ForegroundRole).isValid());

    EXPECT_NE(qobject_cast<QChartView*>(form->controlWidget(mainw::kMonthlyChart)), nullptr);
}

TEST_F(ListAndDrawingTest, ListBoxShowsItsLines) {
    open(ui::mainForm());
    auto* list = qobject_cast<QListView*>(form->controlWidget(mainw::kBackupList));
    ASSERT_NE(list, nullptr);
    ui::Control& backups = model->control(mainw::kBackupList);
    backups.addItem("数据库2015年11月16日.sdb");
    backups.addItem("数据库2015年11月17日9时.sdb");
    host.sync(*form);
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(list->model()->index(1, 0).data().toString(),
              QStringLiteral("数据库2015年11月17日9时.sdb"));
    backups.clearItems();
    host.sync(*form);
    EXPECT_EQ(list->model()->rowCount(), 0);
}

int darkPixels(const QImage& image, QRect area) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return dark;
}

TEST_F(ListAndDrawingTest, DrawingPanelPaintsLinesAndTextsOfItsDrawing) {
    open(ui::loginForm());
    QWidget* panel = form->controlWidget(login::kCodePanel);
    ASSERT_NE(panel, nullptr);
    const QRect whole = panel->rect();
    EXPECT_EQ(darkPixels(panel->grab().toImage(), whole), 0);

    ui::Drawing& drawing = model->control(login::kCodePanel).drawing();
    drawing.setPenWidth(3);
    drawing.line(0, 5, 107, 5);
    host.sync(*form);
    QImage image = panel->grab().toImage();
    EXPECT_EQ(darkPixels(image, QRect(0, 3, 108, 5)), 3 * 108);
    EXPECT_EQ(darkPixels(image, QRect(0, 10, 108, 23)), 0);

    // A text hangs down from its top left corner.
    drawing.text(10, 10, "W");
    host.sync(*form);
    image = panel->grab().toImage();
    EXPECT_GT(darkPixels(image, QRect(10, 10, 25, 23)), 10);
    EXPECT_EQ(darkPixels(image, QRect(40, 10, 68, 23)), 0);

    drawing.clear();
    host.sync(*form);
    EXPECT_EQ(darkPixels(panel->grab().toImage(), whole), 0);
}

} // namespace
} // namespace chengxi::testing
