// 澄溪图书管理系统: the program on the Qt front end.
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
    QApplication::setFont(qt::defaultFont());

    // The database and its backups live beside the program, and relative
    // paths resolve there.
    const std::string programFolder = qt::toUtf8(QCoreApplication::applicationDirPath());
    std::error_code error;
    std::filesystem::current_path(text::toPath(programFolder), error);
    if (error) {
        std::fprintf(stderr, "chengxi: cannot enter %s: %s\n", programFolder.c_str(),
                     error.message().c_str());
    }

    qt::QtClock clock;
    qt::QtScreen screen;
    app::Program program({programFolder, text::fromPath(auth::defaultSettingsPath())}, screen,
                         clock);
    screen.attach(program);
    program.start();
    if (program.ended()) {
        return program.exitCode();
    }
    const int code = QApplication::exec();
    screen.detach();
    return program.ended() ? program.exitCode() : code;
}
