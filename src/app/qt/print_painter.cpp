#include "app/qt/print_painter.h"

#include "app/qt/qt_text.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <numeric>
#include <optional>
#include <vector>

namespace chengxi::qt {
namespace {

// Writes the pages one after another, starting a new sheet when the next
// line would not fit.
class SheetWriter {
public:
    SheetWriter(QPrinter& printer, QPainter& painter)
        : printer_(printer), painter_(painter),
          area_(printer.pageLayout().paintRectPixels(printer.resolution())) {
        area_.moveTo(0, 0);
        body_.setPointSizeF(10);
        heading_.setPointSizeF(18);
        heading_.setBold(true);
        bold_ = body_;
        bold_.setBold(true);
        lineHeight_ = QFontMetrics(body_, &printer).height() * 3 / 2;
        bodyMetrics_.emplace(body_, &printer);
        boldMetrics_.emplace(bold_, &printer);
    }

    void startPage(bool first) {
        if (!first) {
            printer_.newPage();
        }
        top_ = area_.top();
    }

    void heading(const QString& text) {
        painter_.setFont(heading_);
        const int height = QFontMetrics(heading_, &printer_).height() * 2;
        painter_.drawText(QRect(area_.left(), top_, area_.width(), height), Qt::AlignCenter, text);
        top_ += height;
    }

    void line(const QString& text) {
        ensureRoom(lineHeight_);
        painter_.setFont(body_);
        painter_.drawText(QRect(area_.left(), top_, area_.width(), lineHeight_),
                          Qt::AlignLeft | Qt::AlignVCenter, text);
        top_ += lineHeight_;
    }

    void table(const ui::PrintTable& table) {
        if (table.headers.empty()) {
            return;
        }
        const std::vector<int> widths = columnWidths(table);
        ensureRoom(2 * lineHeight_);
        tableRow(table.headers, widths, bold_, *boldMetrics_);
        for (const auto& row : table.rows) {
            if (top_ + lineHeight_ > area_.bottom()) {
                printer_.newPage();
                top_ = area_.top();
                tableRow(table.headers, widths, bold_, *boldMetrics_);
            }
            tableRow(row, widths, body_, *bodyMetrics_);
        }
        top_ += lineHeight_ / 2;
    }

private:
    void ensureRoom(int height) {
        if (top_ + height > area_.bottom()) {
            printer_.newPage();
            top_ = area_.top();
        }
    }

    std::vector<int> columnWidths(const ui::PrintTable& table) const {
        std::vector<int> weights = table.weights;
        weights.resize(table.headers.size(), 1);
        const int total = std::max(1, std::accumulate(weights.begin(), weights.end(), 0));
        std::vector<int> widths;
        for (const int weight : weights) {
            widths.push_back(area_.width() * weight / total);
        }
        return widths;
    }

    void tableRow(const std::vector<std::string>& cells, const std::vector<int>& widths,
                  const QFont& font, const QFontMetrics& metrics) {
        painter_.setFont(font);
        const int pad = lineHeight_ / 6;
        int left = area_.left();
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const QRect cell(left, top_, widths[c], lineHeight_);
            painter_.drawRect(cell);
            const QString text = c < cells.size() ? toQString(cells[c]) : QString();
            painter_.drawText(cell.adjusted(pad, 0, -pad, 0), Qt::AlignLeft | Qt::AlignVCenter,
                              metrics.elidedText(text, Qt::ElideRight, widths[c] - 2 * pad));
            left += widths[c];
        }
        top_ += lineHeight_;
    }

    QPrinter& printer_;
    QPainter& painter_;
    QRect area_;
    QFont body_, bold_, heading_;
    std::optional<QFontMetrics> bodyMetrics_, boldMetrics_;
    int lineHeight_ = 0;
    int top_ = 0;
};

} // namespace

void paintDocument(QPrinter& printer, const ui::PrintDocument& document) {
    printer.setDocName(toQString(document.title));
    QPainter painter(&printer);
    SheetWriter sheets(printer, painter);
    bool first = true;
    for (const ui::PrintPage& page : document.pages) {
        sheets.startPage(first);
        first = false;
        sheets.heading(toQString(page.heading));
        for (const std::string& line : page.lines) {
            sheets.line(toQString(line));
        }
        sheets.table(page.table);
        for (const std::string& line : page.closingLines) {
            sheets.line(toQString(line));
        }
    }
}

bool previewDocument(const ui::PrintDocument& document, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(toQString(document.title));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document](QPrinter* target) { paintDocument(*target, document); });
    return preview.exec() == QDialog::Accepted;
}

} // namespace chengxi::qt
