// chengxi-icon OUTDIR: the program's icon for the desktop's icon theme, as
// OUTDIR/hicolor/NxN/apps/chengxi.png, drawn by the same code as the window's.
#include "app/qt/pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: chengxi-icon OUTDIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(side);
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            chengxi::qt::paintPicture(painter, chengxi::ui::Picture::Icon, QSizeF(side, side));
        }
        const QString path = out.filePath(folder + QStringLiteral("/chengxi.png"));
        if (!out.mkpath(folder) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "chengxi-icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
