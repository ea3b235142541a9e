#include "readers/library_cards.h"

#include "barcode/code128.h"

#include <algorithm>

namespace chengxi::readers {
namespace {

constexpr double kCardWidth = 85.6;
constexpr double kCardHeight = 54.0;
constexpr int kColumns = 2;
constexpr int kRows = 5;
constexpr double kLeftMargin = (ui::kA4Width - kColumns * kCardWidth) / 2;
constexpr double kTopMargin = (ui::kA4Height - kRows * kCardHeight) / 2;
constexpr double kPadding = 4.0;
constexpr double kBarcodeHeight = 11.0;
// Common scanners read modules down to about 0.25 mm; wider is safer.
constexpr double kWidestModule = 0.5;
constexpr int kQuietModules = 10;

void addBarcode(ui::PrintSheet& page, const std::vector<int>& widths, double left, double top,
                double room) {
    const int modules = barcode::moduleCount(widths) + 2 * kQuietModules;
    const double module = std::min(kWidestModule, room / modules);
    double x = left + (room - modules * module) / 2 + kQuietModules * module;
    bool bar = true;
    for (const int width : widths) {
        if (bar) {
            page.boxes.push_back({x, top, width * module, kBarcodeHeight, true});
        }
        x += width * module;
        bar = !bar;
    }
}

void addCard(ui::PrintSheet& page, const CardHolder& holder, std::string_view school, double left,
             double top) {
    page.boxes.push_back({left, top, kCardWidth, kCardHeight, false});
    const double inner = kCardWidth - 2 * kPadding;
    const double x = left + kPadding;
    page.texts.push_back({x, top + 3, inner, 6, std::string(school) + " 借书证", 11, true, true});
    page.texts.push_back({x, top + 11, inner, 5, "班别：" + holder.readerClass, 10});
    page.texts.push_back({x, top + 17, inner, 5, "姓名：" + holder.name, 10});
    page.texts.push_back({x, top + 23, inner, 5, "借书证号：" + holder.card, 10});
    const double barcodeTop = top + 30;
    if (const std::optional<std::vector<int>> widths = barcode::encodeCode128(holder.card)) {
        addBarcode(page, *widths, x, barcodeTop, inner);
        page.texts.push_back(
            {x, barcodeTop + kBarcodeHeight + 1, inner, 4, holder.card, 8, false, true});
    } else {
        page.texts.push_back(
            {x, barcodeTop + 3, inner, 5, "（借书证号中有条形码不能表示的字符）", 8, false, true});
    }
}

} // namespace

ui::Printout libraryCards(const std::vector<CardHolder>& holders, std::string_view school) {
    ui::Printout printout{.title = "借书证", .pages = {}};
    constexpr std::size_t kPerPage = kColumns * kRows;
    for (std::size_t i = 0; i < holders.size(); ++i) {
        if (i % kPerPage == 0) {
            printout.pages.emplace_back();
        }
        const std::size_t place = i % kPerPage;
        const double left = kLeftMargin + static_cast<double>(place % kColumns) * kCardWidth;
        const double top = kTopMargin + static_cast<double>(place / kColumns) * kCardHeight;
        addCard(printout.pages.back(), holders[i], school, left, top);
    }
    return printout;
}

} // namespace chengxi::readers
