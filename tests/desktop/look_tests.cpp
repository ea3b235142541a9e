// How the windows look with the fonts of a Linux desktop, at the device pixel
// ratio the test runs at (CTest runs this program at 1 and at 2): layout in
// logical pixels, every caption whole, pictures drawn at the device's
// resolution, labels and frames that look like what they are.
#include "app/qt/form_window.h"
#include "app/qt/look.h"
#include "app/qt/placement.h"
#include "app/qt/qt_text.h"
#include "app/qt/tab_control.h"
#include "qt/qt_test_support.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <gtest/gtest.h>
#include <memory>

namespace chengxi::testing {
namespace {

using qt::FormWindow;
namespace login = ui::names::login;
namespace mainw = ui::names::main;

class Look : public ::testing::Test {
protected:
    FormWindow& open(const ui::FormRecord& record) {
        model = std::make_unique<ui::Window>(record);
        form = std::make_unique<FormWindow>(*model, host);
        form->show();
        settle();
        return *form;
    }

    // Shows a page of the main window, as a person's click would.
    void showPage(int page) {
        model->control(mainw::kTabs).setCurrentPage(page);
        host.sync(*form);
        settle();
    }

    template <class Widget> Widget* widget(std::string_view name) const {
        auto* found = qobject_cast<Widget*>(form->controlWidget(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The widget as the screen shows it, in device pixels.
    static QImage shot(QWidget* widget) { return widget->grab().toImage(); }

    static qreal ratio() { return qApp->devicePixelRatio(); }

    RecordingHost host;
    std::unique_ptr<ui::Window> model;
    std::unique_ptr<FormWindow> form;
};

int pixelsLike(const QImage& image, const QRect& area, QColor colour, int tolerance) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) <= tolerance &&
                     std::abs(c.green() - colour.green()) <= tolerance &&
                     std::abs(c.blue() - colour.blue()) <= tolerance;
        }
    }
    return count;
}

TEST_F(Look, WindowsKeepTheirLayoutInLogicalPixelsAtAnyScale) {
    for (const ui::FormRecord* record : {&ui::loginForm(), &ui::mainForm()}) {
        FormWindow& window = open(*record);
        EXPECT_EQ(window.size(), QSize(record->width, record->height));
        const QPixmap picture = window.grab();
        EXPECT_EQ(picture.devicePixelRatio(), ratio());
        EXPECT_EQ(picture.size(), QSize(record->width, record->height) * ratio());
    }
}

// A caption shown whole: its ink on one line within its width, or wrapped
// within its height for the long ones; never drawn narrower than its face.
TEST_F(Look, EveryCaptionIsShownWholeAndUnsqueezed) {
    for (const ui::FormRecord* record : {&ui::loginForm(), &ui::mainForm()}) {
        open(*record);
        for (const ui::Control& control : model->controls()) {
            SCOPED_TRACE(std::string(control.name()));
            QWidget* shown = form->controlWidget(control.name());
            if (auto* label = qobject_cast<QLabel*>(shown); label && !label->text().isEmpty()) {
                EXPECT_TRUE(label->font().stretch() == 0 || label->font().stretch() == 100)
                    << "squeezed to " << label->font().stretch();
                const QRect room = label->contentsRect();
                if (label->wordWrap()) {
                    EXPECT_LE(label->heightForWidth(label->width()), label->height());
                } else {
                    // The ink: a closing colon's blank half may stand outside.
                    const QRect ink = QFontMetrics(label->font()).tightBoundingRect(label->text());
                    EXPECT_LE(ink.right() + 1 + std::max(label->indent(), 0), room.width());
                }
            } else if (auto* button = qobject_cast<QAbstractButton*>(shown);
                       button && !button->text().isEmpty()) {
                const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin);
                EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()) + margin,
                          button->width());
            } else if (auto* box = qobject_cast<QGroupBox*>(shown)) {
                EXPECT_LT(QFontMetrics(box->font()).horizontalAdvance(box->title()) + 16,
                          box->width());
            }
        }
    }
    // All eight tabs side by side, without scroll buttons.
    auto* tabs = widget<qt::TabControl>(mainw::kTabs);
    EXPECT_LE(tabs->tabBar()->sizeHint().width(), tabs->width() - 4);
}

TEST_F(Look, TheSampleBarcodeFitsItsColumnWithoutAnEllipsis) {
    open(ui::mainForm());
    auto* sample = widget<QTableView>(mainw::kSampleList);
    ASSERT_NE(sample, nullptr);
    const QModelIndex cell = sample->model()->index(1, 0);
    const QString barcode = cell.data().toString();
    ASSERT_EQ(barcode, QStringLiteral("9787538722314"));
    EXPECT_EQ(sample->columnWidth(0), 90);
    // The item view keeps this margin on either side of a cell's text.
    const int margin =
        sample->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, sample) + 1;
    EXPECT_LE(QFontMetrics(sample->font()).horizontalAdvance(barcode) + 2 * margin, 90);
}

// A picture drawn at the device's resolution has detail inside each block
// of ratio x ratio device pixels; an upscaled bitmap has none.
TEST_F(Look, HeaderPicturesAreDrawnAtTheDevicePixelRatio) {
    if (ratio() < 2) {
        GTEST_SKIP() << "runs at a device pixel ratio of 2";
    }
    open(ui::mainForm());
    for (const auto name : {mainw::kIcon, mainw::kMinimise, mainw::kOrnament, mainw::kClose}) {
        SCOPED_TRACE(std::string(name));
        QWidget* picture = form->controlWidget(name);
        ASSERT_NE(picture, nullptr);
        const QImage image = shot(picture);
        ASSERT_EQ(image.size(), picture->size() * 2);
        int detailed = 0;
        for (int y = 0; y + 1 < image.height(); y += 2) {
            for (int x = 0; x + 1 < image.width(); x += 2) {
                const QRgb corner = image.pixel(x, y);
                detailed += image.pixel(x + 1, y) != corner || image.pixel(x, y + 1) != corner ||
                            image.pixel(x + 1, y + 1) != corner;
            }
        }
        EXPECT_GT(detailed, 10);
    }
}

TEST_F(Look, StatusLabelsLookUnlikeEditBoxes) {
    open(ui::mainForm());
    showPage(mainw::kPageImportBooks);
    const QImage status = shot(form->controlWidget(mainw::kImportStatus));
    const QImage edit = shot(form->controlWidget(mainw::kBookFilePath));
    // Neither the white field nor the edge of a box: one flat tint, edge to edge.
    const QColor middle = status.pixelColor(status.width() / 2, 2);
    EXPECT_NE(middle, QColor(Qt::white));
    EXPECT_EQ(status.pixelColor(0, status.height() / 2), middle);
    EXPECT_EQ(status.pixelColor(status.width() - 1, status.height() / 2), middle);
    EXPECT_NE(edit.pixelColor(0, edit.height() / 2), edit.pixelColor(5, edit.height() / 2))
        << "the edit box beside it has an edge";
}

// The group box's frame stands out from the page and its caption sits on the
// frame's top line: caption pixels both above and below the line.
TEST_F(Look, GroupBoxesHaveAVisibleFrameWithTheCaptionOnIt) {
    open(ui::mainForm());
    for (const auto name : {mainw::kReaderGroup, mainw::kLogGroup}) {
        SCOPED_TRACE(std::string(name));
        const QImage box = shot(form->controlWidget(name));
        const int right = box.width() - 8; // clear of the caption
        int line = -1;
        for (int y = 0; y < box.height() / 2 && line < 0; ++y) {
            if (pixelsLike(box, QRect(right, y, 1, 1), qt::frameLine(), 40) > 0) {
                line = y;
            }
        }
        ASSERT_GE(line, 0) << "no frame line in the frame colour";
        const int middleY = box.height() / 2;
        EXPECT_GT(pixelsLike(box, QRect(0, middleY, 3 * ratio(), 1), qt::frameLine(), 40), 0)
            << "no left edge";
        const QRect caption(8 * ratio(), 0, 40 * ratio(), 2 * line + 1);
        const QColor ink = qt::textOnPage();
        EXPECT_GT(pixelsLike(box, QRect(caption.left(), 0, caption.width(), line), ink, 90), 0);
        EXPECT_GT(pixelsLike(box, QRect(caption.left(), line + 1, caption.width(), line), ink, 90),
                  0);
    }
}

TEST_F(Look, ThePageAreaHasABorderAtTheBottom) {
    open(ui::mainForm());
    const QImage tabs = shot(form->controlWidget(mainw::kTabs));
    const int bottom = tabs.height() - 1;
    const int width = tabs.width();
    EXPECT_GT(pixelsLike(tabs, QRect(0, bottom - ratio() + 1, width, ratio()), qt::frameLine(), 20),
              width * 9 / 10);
}

TEST(Placement, AWindowThatFitsIsCentred) {
    EXPECT_EQ(qt::placeWindow(QRect(0, 0, 1280, 1024), QSize(800, 600)), QPoint(240, 212));
    EXPECT_EQ(qt::placeWindow(QRect(100, 30, 1280, 994), QSize(380, 250)), QPoint(550, 402));
}

// 800 x 600 at scale 2 on a 1280 x 1024 screen is 800 x 600 logical pixels
// on a 640 x 512 area: centring it put the header and its buttons off screen.
TEST(Placement, ALargerWindowKeepsItsHeaderAndButtonsInTheArea) {
    const QRect area(0, 0, 640, 512);
    const QPoint at = qt::placeWindow(area, QSize(800, 600));
    EXPECT_EQ(at.y(), 0);
    EXPECT_EQ(at.x() + 800, 640) << "the close button at the window's right end is reachable";
    // Below a panel at the top of the screen.
    EXPECT_EQ(qt::placeWindow(QRect(0, 28, 640, 484), QSize(800, 600)).y(), 28);
    // Too tall only: still centred across.
    EXPECT_EQ(qt::placeWindow(QRect(0, 0, 1024, 500), QSize(800, 600)), QPoint(112, 0));
}

} // namespace
} // namespace chengxi::testing
