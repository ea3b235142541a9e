#include "app/qt/screens.h"

#include "app/program.h"
#include "app/qt/look.h"
#include "app/qt/qt_clock.h"
#include "app/qt/qt_screen.h"
#include "app/qt/qt_text.h"
#include "app/qt/tab_control.h"
#include "ui/forms/control_names.h"

#include <QApplication>
#include <QDir>
#include <QTabBar>
#include <QTemporaryDir>
#include <cstdio>

namespace chengxi::qt {
namespace {

// Lets the windows be shown, activated and painted.
void settle() {
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::processEvents();
    }
}

bool save(QWidget* window, const QString& path) {
    settle();
    if (window == nullptr || !window->grab().save(path, "PNG")) {
        std::fprintf(stderr, "chengxi-screens: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int renderScreens(int argc, char* argv[], const std::string& outDir, double scale) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (scale != 1.0) {
        qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
    }
    QApplication application(argc, argv);
    QApplication::setFont(defaultFont());

    const QDir out(toQStringExact(outDir));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "chengxi-screens: cannot create %s\n", outDir.c_str());
        return 1;
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "chengxi-screens: no temporary folder\n");
        return 1;
    }

    QtClock clock;
    QtScreen screen;
    // Nobody is there to answer: report the messages and choose no file.
    screen.setMessageBoxHandler([](const ui::Message& message) {
        std::fprintf(stderr, "message box %s: %s\n", message.title.c_str(), message.text.c_str());
        return ui::Answer::Ok;
    });
    screen.setFileDialogHandler([](ui::FileDialogState&) { return false; });
    screen.setEndHandler([](int) {});
    app::Program program(
        {toUtf8(folder.path()), toUtf8(folder.filePath(QStringLiteral("mzqk.ini")))}, screen,
        clock);
    screen.attach(program);
    program.start();

    bool saved = save(screen.formWindow(ui::names::login::kWindow), out.filePath("login.png"));

    program.showMainWindow();
    screen.syncAll();
    FormWindow* main = screen.formWindow(ui::names::main::kWindow);
    auto* tabs = main != nullptr
                     ? qobject_cast<TabControl*>(main->controlWidget(ui::names::main::kTabs))
                     : nullptr;
    if (tabs == nullptr) {
        std::fprintf(stderr, "chengxi-screens: the main window did not open\n");
        return 1;
    }
    for (int page = 0; page < tabs->pageCount(); ++page) {
        // As a person would: click the tab, so the page's own event runs.
        tabs->tabBar()->setCurrentIndex(page);
        saved = save(main, out.filePath(QStringLiteral("main-%1.png").arg(page))) && saved;
    }
    // The page 统计 shows its second view when its view box says so.
    namespace mainw = ui::names::main;
    tabs->tabBar()->setCurrentIndex(mainw::kPageOverview);
    program.window(mainw::kWindow)->control(mainw::kOverviewView).setCurrentItem(1);
    screen.fire(mainw::kWindow, mainw::kOverviewView, ui::Event::SelectionChanged);
    screen.fire(mainw::kWindow, mainw::kShowStatistics, ui::Event::Clicked);
    saved = save(main, out.filePath(QStringLiteral("main-%1-statistics.png")
                                        .arg(static_cast<int>(mainw::kPageOverview)))) &&
            saved;
    // The book window as the add button opens it, over the search page.
    program.fire(ui::names::main::kWindow, ui::names::main::kAddBook, ui::Event::Clicked);
    screen.syncAll();
    saved = save(screen.formWindow(ui::names::book::kWindow), out.filePath("book.png")) && saved;
    screen.detach();
    return saved ? 0 : 1;
}

} // namespace chengxi::qt
