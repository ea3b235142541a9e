#include "app/qt/printout_painter.h"

#include "app/qt/qt_text.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

namespace chengxi::qt {
namespace {

constexpr double kMillimetresPerInch = 25.4;
// A text that does not fit is made smaller down to this share, then cut.
constexpr double kSmallestShare = 0.6;

void paintText(QPainter& painter, const ui::PrintText& text, double dotsPerMm) {
    const QRectF box(text.left * dotsPerMm, text.top * dotsPerMm, text.width * dotsPerMm,
                     text.height * dotsPerMm);
    const QString shown = toQString(text.text);
    QFont font = painter.font();
    font.setBold(text.bold);
    // Sizes are points on paper, whatever the device's resolution.
    double pixels = text.pointSize / 72.0 * kMillimetresPerInch * dotsPerMm;
    font.setPixelSize(static_cast<int>(pixels));
    const double fullWidth = QFontMetricsF(font).horizontalAdvance(shown);
    if (fullWidth > box.width()) {
        pixels *= std::max(kSmallestShare, box.width() / fullWidth);
        font.setPixelSize(std::max(1, static_cast<int>(pixels)));
    }
    painter.setFont(font);
    const QString fitted = QFontMetricsF(font).elidedText(shown, Qt::ElideRight, box.width());
    painter.drawText(box, (text.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter,
                     fitted);
}

ui::PrintResult paintAll(QPrinter& printer, const ui::Printout& printout) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return {.failure = "打印机或文件无法写入"};
    }
    const double dotsPerMm = printer.resolution() / kMillimetresPerInch;
    for (std::size_t i = 0; i < printout.pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) {
            return {.failure = "打印机或文件无法写入"};
        }
        paintPrintSheet(painter, printout.pages[i], dotsPerMm);
    }
    if (!painter.end()) {
        return {.failure = "打印机或文件无法写入"};
    }
    return {.printed = true, .cancelled = false, .failure = {}};
}

void prepare(QPrinter& printer, const ui::Printout& printout) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    // The printout places everything from the paper's corner.
    printer.setFullPage(true);
    printer.setDocName(toQString(printout.title));
}

} // namespace

void paintPrintSheet(QPainter& painter, const ui::PrintSheet& page, double dotsPerMm) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const ui::PrintBox& box : page.boxes) {
        const QRectF rect(box.left * dotsPerMm, box.top * dotsPerMm, box.width * dotsPerMm,
                          box.height * dotsPerMm);
        if (box.filled) {
            painter.fillRect(rect, Qt::black);
        } else {
            painter.setPen(QPen(Qt::gray, 0));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect);
        }
    }
    painter.setPen(Qt::black);
    for (const ui::PrintText& text : page.texts) {
        paintText(painter, text, dotsPerMm);
    }
    painter.restore();
}

ui::PrintResult printOnPrinter(const ui::Printout& printout) {
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, printout);
    QPrintDialog dialog(&printer);
    if (dialog.exec() != QDialog::Accepted) {
        return {.printed = false, .cancelled = true, .failure = {}};
    }
    return paintAll(printer, printout);
}

ui::PrintResult printToPdf(const ui::Printout& printout, const std::string& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(toQString(path));
    prepare(printer, printout);
    return paintAll(printer, printout);
}

} // namespace chengxi::qt
