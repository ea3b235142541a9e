// 澄溪图书管理系统: the program on the Qt front end.
#include "app/data_folder_question.h"
#include "app/program.h"
#include "app/qt/look.h"
#include "app/qt/qt_clock.h"
#include "app/qt/qt_screen.h"
#include "app/qt/qt_text.h"
#include "auth/password_store.h"
#include "text/file_path.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char* argv[]) {
    using namespace chengxi;
    QApplication application(argc, argv);
    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("chengxi"));
    QApplication::setFont(qt::defaultFont());

    qt::QtClock clock;
    qt::QtScreen screen;
    // The database and its backups live beside the program, or in the
    // user's data folder when the program is installed where the user cannot
    // write (a database found beside the program is copied there when the
    // librarian agrees); relative paths resolve there.
    const app::DataFolder data = app::settleDataFolder(
        qt::toUtf8(QCoreApplication::applicationDirPath()), app::processEnvironment, screen);
    if (!data.error.empty()) {
        std::fprintf(stderr, "chengxi: %s\n", data.error.c_str());
    }
    std::error_code error;
    std::filesystem::current_path(text::toPath(data.path), error);
    if (error) {
        std::fprintf(stderr, "chengxi: cannot enter %s: %s\n", data.path.c_str(),
                     error.message().c_str());
    }

    app::Program program({data.path, text::fromPath(auth::defaultSettingsPath())}, screen, clock);
    screen.attach(program);
    program.start();
    if (program.ended()) {
        return program.exitCode();
    }
    const int code = QApplication::exec();
    screen.detach();
    return program.ended() ? program.exitCode() : code;
}
