// The whole program on the Qt front end: windows open and close with the
// program, a person's actions run their operations, and the widgets follow.
#include "app/program.h"
#include "app/qt/qt_screen.h"
#include "app/qt/qt_text.h"
#include "app/qt/tab_control.h"
#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "qt_test_support.h"
#include "text/file_path.h"
#include "ui/forms/control_names.h"

#include <QAbstractButton>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace chengxi::testing {
namespace {

using qt::FormWindow;
using qt::QtScreen;
using qt::toQString;
using qt::toUtf8;
namespace login = ui::names::login;
namespace mainw = ui::names::main;

class FixedClock final : public ui::Clock {
public:
    text::DateTime now() override { return {2015, 11, 16, 9, 30, 0}; }
    std::uint32_t ticks() override { return 123456; }
};

class ProgramOnQtTest : public ::testing::Test {
protected:
    ProgramOnQtTest() {
        screen.setMessageBoxHandler([this](const ui::Message& message) {
            messages.push_back(message);
            return onMessage ? onMessage(message) : ui::Answer::Ok;
        });
        screen.setFileDialogHandler([](ui::FileDialogState&) { return false; });
        screen.setEndHandler([this](int code) { exitCode = code; });
        program = std::make_unique<app::Program>(
            app::ProgramPaths{toUtf8(folder.path()), toUtf8(folder.filePath("mzqk.ini"))}, screen,
            clock);
        screen.attach(*program);
        program->start();
        settle();
    }

    ~ProgramOnQtTest() override {
        screen.detach();
        program.reset();
        settle();
    }

    FormWindow& shown(std::string_view windowId) {
        FormWindow* form = screen.formWindow(windowId);
        EXPECT_NE(form, nullptr) << windowId;
        return *form;
    }

    template <class Widget> Widget* widget(std::string_view windowId, std::string_view name) {
        auto* found = qobject_cast<Widget*>(shown(windowId).controlWidget(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    FormWindow& openMainWindow() {
        program->showMainWindow();
        screen.syncAll();
        settle();
        return shown(mainw::kWindow);
    }

    QTemporaryDir folder;
    FixedClock clock;
    QtScreen screen;
    std::unique_ptr<app::Program> program;
    std::vector<ui::Message> messages;
    std::function<ui::Answer(const ui::Message&)> onMessage;
    std::optional<int> exitCode;
};

TEST_F(ProgramOnQtTest, LoginWindowOpensAndItsFirstActivationDrawsTheCode) {
    FormWindow& window = shown(login::kWindow);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isWindow());
    // The window was activated and painted; its first activation drew a code.
    const ui::Drawing& code = program->window(login::kWindow)->control(login::kCodePanel).drawing();
    EXPECT_FALSE(code.drawnText().empty());
    // It opens with the keyboard in the password box.
    EXPECT_EQ(window.focusWidget(), window.controlWidget(login::kPassword));
}

TEST_F(ProgramOnQtTest, AWrongCodeRedrawsThePanel) {
    ASSERT_TRUE(auth::writeStoredPassword(text::toPath(toUtf8(folder.filePath("mzqk.ini"))),
                                          auth::passwordCipher("abc")));
    QWidget* panel = shown(login::kWindow).controlWidget(login::kCodePanel);
    ASSERT_NE(panel, nullptr);
    const QImage first = panel->grab().toImage();
    const std::string firstCode = program->library().login.currentCode;

    ui::Window& login = *program->window(login::kWindow);
    login.control(login::kPassword).setText("abc");
    login.control(login::kCode).setText("!!!!");
    QTest::mouseClick(widget<QAbstractButton>(login::kWindow, login::kLogIn), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "验证码不正确，注意区分大小写。");

    const QImage second = panel->grab().toImage();
    EXPECT_NE(program->library().login.currentCode, firstCode);
    EXPECT_NE(first, second);
    // The code is drawn in dark strokes on a light panel.
    int dark = 0;
    for (int y = 0; y < second.height(); ++y) {
        for (int x = 0; x < second.width(); ++x) {
            dark += qGray(second.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 50);
}

TEST_F(ProgramOnQtTest, EnterWithoutPasswordAsksForItAndPutsTheFocusThere) {
    QTest::keyClick(widget<QLineEdit>(login::kWindow, login::kCode), Qt::Key_Return);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "请输入密码");
    EXPECT_EQ(program->window(login::kWindow)->focus(), login::kPassword);
    EXPECT_EQ(shown(login::kWindow).focusWidget(),
              shown(login::kWindow).controlWidget(login::kPassword));
}

TEST_F(ProgramOnQtTest, MainWindowReplacesTheLoginWindowOnPageLending) {
    FormWindow& main = openMainWindow();
    EXPECT_EQ(screen.formWindow(login::kWindow), nullptr);
    EXPECT_TRUE(main.isVisible());
    auto* tabs = widget<qt::TabControl>(mainw::kWindow, mainw::kTabs);
    EXPECT_EQ(tabs->currentPage(), mainw::kPageLending);
    EXPECT_TRUE(tabs->page(mainw::kPageLending)->isVisible());

    auto* preview = widget<QTableView>(mainw::kWindow, mainw::kPreviewList);
    ASSERT_EQ(preview->model()->columnCount(), 26);
    for (int column = 0; column < 26; ++column) {
        EXPECT_EQ(preview->model()->headerData(column, Qt::Horizontal).toString(),
                  QString(QChar('A' + column)));
        EXPECT_EQ(preview->horizontalHeader()->sectionSize(column), 90);
    }
    EXPECT_TRUE(preview->showGrid());
    EXPECT_TRUE(QDir(folder.path()).exists(QStringLiteral("数据库.sdb")));
}

TEST_F(ProgramOnQtTest, BookWindowOpensOverTheMainWindowAndItsCloseButtonClosesOnlyIt) {
    namespace bookw = ui::names::book;
    openMainWindow();
    QTabBar* bar = widget<qt::TabControl>(mainw::kWindow, mainw::kTabs)->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(mainw::kPageSearch).center());
    QTest::mouseClick(widget<QAbstractButton>(mainw::kWindow, mainw::kAddBook), Qt::LeftButton);
    settle();
    FormWindow& book = shown(bookw::kWindow);
    EXPECT_TRUE(book.isVisible());
    EXPECT_TRUE(book.isWindow());
    EXPECT_EQ(book.size(), QSize(560, 400));
    EXPECT_EQ(book.focusWidget(), book.controlWidget(bookw::kBookNumber));

    QTest::mouseClick(widget<QAbstractButton>(bookw::kWindow, bookw::kClose), Qt::LeftButton);
    settle();
    EXPECT_EQ(screen.formWindow(bookw::kWindow), nullptr);
    EXPECT_FALSE(program->ended());
    EXPECT_TRUE(shown(mainw::kWindow).isVisible());
}

TEST_F(ProgramOnQtTest, CloseButtonBeforeLoginEndsTheProgramTouchingNoDatabase) {
    QTest::mouseClick(widget<QAbstractButton>(login::kWindow, login::kClose), Qt::LeftButton);
    settle();
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(program->ended());
    EXPECT_EQ(screen.formWindow(login::kWindow), nullptr);
    EXPECT_FALSE(QDir(folder.path()).exists(QStringLiteral("数据库.sdb")));
}

TEST_F(ProgramOnQtTest, MinimiseButtonMinimisesAndRestoringIsSeenByTheProgram) {
    QTest::mouseClick(widget<QAbstractButton>(login::kWindow, login::kMinimise), Qt::LeftButton);
    EXPECT_EQ(program->window(login::kWindow)->windowState(), 2);
    EXPECT_TRUE(shown(login::kWindow).isMinimized());
    shown(login::kWindow).showNormal();
    EXPECT_EQ(program->window(login::kWindow)->windowState(), 0);
}

TEST_F(ProgramOnQtTest, OnlyAPersonsPageChoiceRunsThePageEvent) {
    openMainWindow();
    ui::Window& main = *program->window(mainw::kWindow);
    const std::string countBefore = main.control(mainw::kReaderCount).text();

    // Brought to the front by the program: shown, but the page's event does not run.
    main.control(mainw::kTabs).setCurrentPage(mainw::kPageReaders);
    screen.syncAll();
    EXPECT_EQ(widget<qt::TabControl>(mainw::kWindow, mainw::kTabs)->currentPage(),
              mainw::kPageReaders);
    EXPECT_EQ(main.control(mainw::kReaderCount).text(), countBefore);

    // Chosen by a person: the reader listing runs and its count shows.
    main.control(mainw::kTabs).setCurrentPage(mainw::kPageLending);
    screen.syncAll();
    QTabBar* bar = widget<qt::TabControl>(mainw::kWindow, mainw::kTabs)->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(mainw::kPageReaders).center());
    EXPECT_NE(main.control(mainw::kReaderCount).text(), countBefore);
    EXPECT_EQ(widget<QLabel>(mainw::kWindow, mainw::kReaderCount)->text(),
              toQString(main.control(mainw::kReaderCount).text()));
}

TEST_F(ProgramOnQtTest, DialogsSeeTheCurrentScreenAndBlockFurtherInput) {
    ui::Window& login = *program->window(login::kWindow);
    login.control(login::kCodeCaption).setText("新的说明");
    QString shownWhileAsking;
    onMessage = [&](const ui::Message&) {
        shownWhileAsking = widget<QLabel>(login::kWindow, login::kCodeCaption)->text();
        // A click that reaches the window while the box is up runs nothing.
        screen.fire(login::kWindow, login::kLogIn, ui::Event::Clicked);
        return ui::Answer::Ok;
    };
    QTest::mouseClick(widget<QAbstractButton>(login::kWindow, login::kLogIn), Qt::LeftButton);
    EXPECT_EQ(shownWhileAsking, QStringLiteral("新的说明"));
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(ProgramOnQtTest, RepaintNowShowsTheControlAtOnce) {
    ui::Window& login = *program->window(login::kWindow);
    ui::Control& caption = login.control(login::kCodeCaption);
    caption.setText("正在处理");
    screen.repaintNow(login, caption);
    auto* label = widget<QLabel>(login::kWindow, login::kCodeCaption);
    EXPECT_EQ(label->text(), QStringLiteral("正在处理"));

    // Asked again at once, it may wait its turn, but the last change shows
    // without the program returning to sync the window.
    caption.setText("第一步");
    screen.repaintNow(login, caption);
    caption.setText("第二步");
    screen.repaintNow(login, caption);
    EXPECT_TRUE(QTest::qWaitFor([&] { return label->text() == QStringLiteral("第二步"); }));
}

// A Chinese input method composes a text (shown in the box, not yet typed)
// and then commits it: the committed text is what the box and the model hold.
TEST_F(ProgramOnQtTest, InputMethodTextReachesTheBoxAndTheModel) {
    openMainWindow();
    ui::Window& main = *program->window(mainw::kWindow);
    main.control(mainw::kTabs).setCurrentPage(mainw::kPageReaders);
    screen.syncAll();
    settle();
    auto* name = widget<QLineEdit>(mainw::kWindow, mainw::kName);
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(name->inputMethodQuery(Qt::ImEnabled).toBool());

    QInputMethodEvent composing(QStringLiteral("zhang'san"), {});
    QCoreApplication::sendEvent(name, &composing);
    EXPECT_EQ(main.control(mainw::kName).text(), "");

    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("张三"));
    QCoreApplication::sendEvent(name, &commit);
    EXPECT_EQ(name->text(), QStringLiteral("张三"));
    EXPECT_EQ(main.control(mainw::kName).text(), "张三");

    // A second word goes after the first, as typed.
    QInputMethodEvent more;
    more.setCommitString(QStringLiteral("丰"));
    QCoreApplication::sendEvent(name, &more);
    EXPECT_EQ(main.control(mainw::kName).text(), "张三丰");
}

TEST_F(ProgramOnQtTest, ClipboardCarriesChineseTextBothWays) {
    screen.setClipboardText("A00001 红楼梦");
    EXPECT_EQ(screen.clipboardText(), "A00001 红楼梦");
}

TEST_F(ProgramOnQtTest, ThePromotionDialogHoldsTheMainWindowUntilItCloses) {
    openMainWindow();
    ASSERT_TRUE(program->library().database.connection.execute(
        "insert into 读者数据 values('初一(3)班', '张三', '201409001', '0', '0', '0')"));
    screen.fire(mainw::kWindow, mainw::kPromote, ui::Event::Clicked);
    settle();
    namespace promotion = ui::names::promotion;
    FormWindow& dialog = shown(promotion::kWindow);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
    auto* moves = widget<QTableView>(promotion::kWindow, promotion::kMoves);
    ASSERT_EQ(moves->model()->rowCount(), 1);
    EXPECT_EQ(moves->model()->index(0, 2).data().toString(), QStringLiteral("初二(3)班"));
    screen.fire(promotion::kWindow, promotion::kClose, ui::Event::Clicked);
    settle();
    EXPECT_EQ(screen.formWindow(promotion::kWindow), nullptr);
    EXPECT_NE(screen.formWindow(mainw::kWindow), nullptr);
}

} // namespace
} // namespace chengxi::testing
