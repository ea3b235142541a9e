#include "xls/templates.h"

#include "xls/workbook_file.h"

#include <array>
#include <vector>

namespace chengxi::xls {
namespace {

constexpr std::array<std::string_view, 16> kBookHeaders = {
    "条形码", "图书编号", "分类号", "图书类别", "复本号", "书名",     "著译者",   "出版处",
    "页数",   "开本",     "版期",   "版次",     "单价",   "书架名称", "入库时间", "是否借出"};
constexpr std::array<std::string_view, 6> kReaderHeaders = {"班别",       "姓名",       "借书证号",
                                                            "图书编号串", "日期编号串", "书名串"};
constexpr std::array<std::string_view, 5> kLoanReportHeaders = {"图书编号", "书名", "借阅者",
                                                                "借书日期", "还书日期"};

constexpr std::array<std::uint16_t, 8> kReaderWidths = {3552, 2720, 4128, 2848,
                                                        4448, 2912, 4896, 2688};
constexpr std::array<std::uint16_t, 7> kLoanReportWidths = {3552, 2720, 4128, 2848,
                                                            4448, 2912, 2688};

Workbook workbookOf(const TemplateLayout& layout) {
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

} // namespace

TemplateLayout templateLayout(TemplateKind kind) {
    switch (kind) {
    case TemplateKind::Books:
        return {"sheet1", kBookHeaders, 200, {}, true};
    case TemplateKind::Readers:
        return {"Sheet1", kReaderHeaders, 240, kReaderWidths, false};
    case TemplateKind::LoanReport:
        break;
    }
    return {"Sheet1", kLoanReportHeaders, 240, kLoanReportWidths, false};
}

std::span<const std::string_view> templateHeaders(TemplateKind kind) {
    return templateLayout(kind).headers;
}

Workbook templateWorkbook(TemplateKind kind) {
    return workbookOf(templateLayout(kind));
}

Workbook headedWorkbook(std::span<const std::string_view> headers) {
    return workbookOf({"Sheet1", headers, 240, {}, false});
}

Status writeTemplate(TemplateKind kind, std::string_view path) {
    return saveWorkbook(path, templateWorkbook(kind));
}

} // namespace chengxi::xls
