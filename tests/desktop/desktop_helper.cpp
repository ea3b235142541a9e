// chengxi-desktop-helper: what the X server test needs to know from outside
// the running program.
//   codes N                    the first N verification codes the login window
//                              draws at the tick count read now (run it under
//                              the same fixed clock as the program)
//   seed-book DB NUMBER TITLE  a database with the program's tables and one book
//   seed-reader DB CARD        one more reader, without loans
//   holder DB NUMBER           the card number 借出数据 lends the book to
//   place WINDOW CONTROL       the control's left, top, width and height in the
//                              window, in logical pixels
//   tab INDEX                  the centre of a page tab of the main window
#include "app/qt/look.h"
#include "app/qt/qt_clock.h"
#include "app/qt/qt_text.h"
#include "app/qt/tab_control.h"
#include "auth/verification_code.h"
#include "library/initialisation.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <QApplication>
#include <QStringList>
#include <QTabBar>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace chengxi;

int usage() {
    std::fprintf(stderr, "usage: chengxi-desktop-helper codes N | seed-book DB NUMBER TITLE | "
                         "seed-reader DB CARD | holder DB NUMBER | place WINDOW CONTROL | "
                         "tab INDEX\n");
    return 2;
}

const ui::FormRecord& form(const std::string& window) {
    return window == ui::names::login::kWindow ? ui::loginForm() : ui::mainForm();
}

int printCodes(int count) {
    const ui::Window login(ui::loginForm());
    const ui::Control& panel = login.control(ui::names::login::kCodePanel);
    qt::QtClock clock;
    const std::uint32_t ticks = clock.ticks();
    std::uint32_t seedOffset = 0;
    for (int i = 0; i < count; ++i) {
        const auth::CodeDrawing drawing =
            auth::drawVerificationCode(ticks, seedOffset, panel.width(), panel.height());
        std::printf("%s\n", drawing.code.c_str());
    }
    return 0;
}

int seedBook(const std::string& database, const std::string& number, const std::string& title) {
    store::Connection connection;
    for (const std::string& failure : library::initialiseDatabase(connection, database)) {
        std::fprintf(stderr, "chengxi-desktop-helper: %s\n", failure.c_str());
        return 1;
    }
    const bool stored = connection.execute(
        "insert into 图书数据 (条形码, 图书编号, 书名, 著译者, 书架名称, 是否借出) "
        "values (?, ?, ?, ?, ?, ?)",
        {store::Value("9787000000001"), store::Value(number), store::Value(title),
         store::Value("曹雪芹"), store::Value("文学一"), store::Value("0")});
    return stored ? 0 : 1;
}

int seedReader(const std::string& database, const std::string& card) {
    store::Connection connection;
    if (!connection.open(database, false)) {
        return 1;
    }
    return connection.execute("insert into 读者数据 values ('1班', '张三', ?, '0', '0', '0')",
                              {store::Value(card)})
               ? 0
               : 1;
}

int printHolder(const std::string& database, const std::string& number) {
    store::Connection connection;
    store::RecordSet records;
    if (!connection.open(database, false) ||
        !records.open(connection, "select 借书证号 from 借出数据 where 图书编号 = ?",
                      {store::Value(number)}) ||
        !records.toFirst()) {
        return 1;
    }
    while (records.nextRow()) {
        std::printf("%s\n", records.read(0).c_str());
    }
    records.close();
    return 0;
}

int printPlace(const std::string& window, const std::string& name) {
    const ui::Window model(form(window));
    const ui::Control* control = model.find(name);
    if (control == nullptr) {
        std::fprintf(stderr, "chengxi-desktop-helper: no control %s\n", name.c_str());
        return 1;
    }
    const auto [left, top] = model.placeInWindow(*control);
    std::printf("%d %d %d %d\n", left, top, control->width(), control->height());
    return 0;
}

int printTab(int argc, char* argv[], int index) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const ui::Window model(ui::mainForm());
    const ui::Control& tabs = model.control(ui::names::main::kTabs);
    QStringList captions;
    for (const std::string& caption : tabs.pageCaptions()) {
        captions.append(qt::toQString(caption));
    }
    qt::TabControl control(captions, qt::fontFor(tabs.record().font, qt::defaultFont()), nullptr);
    control.resize(tabs.width(), tabs.height());
    control.show();
    QCoreApplication::processEvents();
    if (index < 0 || index >= control.pageCount()) {
        return usage();
    }
    const QPoint centre =
        control.tabBar()->tabRect(index).center() + control.tabBar()->geometry().topLeft();
    const auto [left, top] = model.placeInWindow(tabs);
    std::printf("%d %d\n", left + centre.x(), top + centre.y());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "codes") {
        return printCodes(std::atoi(args[1].c_str()));
    }
    if (args.size() == 4 && args[0] == "seed-book") {
        return seedBook(args[1], args[2], args[3]);
    }
    if (args.size() == 3 && args[0] == "seed-reader") {
        return seedReader(args[1], args[2]);
    }
    if (args.size() == 3 && args[0] == "holder") {
        return printHolder(args[1], args[2]);
    }
    if (args.size() == 3 && args[0] == "place") {
        return printPlace(args[1], args[2]);
    }
    if (args.size() == 2 && args[0] == "tab") {
        return printTab(argc, argv, std::atoi(args[1].c_str()));
    }
    return usage();
}
