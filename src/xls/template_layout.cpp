#include "xls/template_layout.h"

#include <vector>

namespace chengxi::xls {

Workbook layoutWorkbook(const TemplateLayout& layout) {
    Workbook book;
    Font font;
    font.height = layout.fontHeight;
    // Fonts 0 to 3 are the workbook's defaults; Excel writes all four.
    book.fonts.assign(4, font);
    book.styles.resize(kDefaultCellStyle + 1);
    for (std::size_t i = 0; i < kDefaultCellStyle; ++i) {
        book.styles[i].isStyle = true;
    }
    book.refreshDateStyles();

    Sheet sheet;
    sheet.name = std::string(layout.sheetName);
    for (std::size_t i = 0; i < layout.widths.size(); ++i) {
        const auto column = static_cast<std::uint16_t>(i);
        sheet.columnWidths.push_back({column, column, layout.widths[i], kDefaultCellStyle, false});
    }
    std::vector<Cell> cells;
    for (std::size_t i = 0; i < layout.headers.size(); ++i) {
        cells.push_back(Cell::ofText(0, static_cast<std::uint16_t>(i), kDefaultCellStyle,
                                     book.strings.intern(layout.headers[i])));
    }
    if (layout.blankSecondRow) {
        for (std::size_t i = 0; i < layout.headers.size(); ++i) {
            cells.push_back(Cell::blank(1, static_cast<std::uint16_t>(i), kDefaultCellStyle));
        }
    }
    sheet.assignCells(std::move(cells));
    book.sheets.push_back(std::move(sheet));
    return book;
}

Workbook headedWorkbook(std::span<const std::string_view> headers) {
    return layoutWorkbook({"Sheet1", headers, 240, {}, false});
}

} // namespace chengxi::xls
