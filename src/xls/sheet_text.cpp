#include "xls/sheet_text.h"

#include "xls/cell_text.h"
#include "xls/workbook_file.h"

namespace chengxi::xls {

const std::string& SheetText::at(std::size_t row, std::size_t column) const {
    static const std::string empty;
    return row < rows.size() && column < rows[row].size() ? rows[row][column] : empty;
}

SheetText sheetText(const Workbook& workbook, const Sheet& sheet) {
    SheetText result;
    result.name = sheet.name;
    result.width = sheet.columnCount();
    result.rows.resize(sheet.rowCount());
    for (std::uint32_t row = 0; row < result.rows.size(); ++row) {
        const auto cells = sheet.rowCells(row);
        std::size_t length = 0;
        for (const Cell& cell : cells) {
            if (cell.holdsValue()) {
                length = cell.column + 1u;
            }
        }
        std::vector<std::string>& texts = result.rows[row];
        texts.resize(length);
        for (const Cell& cell : cells) {
            if (cell.column < length) {
                texts[cell.column] = cellText(workbook, cell);
            }
        }
    }
    return result;
}

Result<SheetText> readFirstSheet(std::string_view path) {
    auto book = loadWorkbook(path);
    if (!book) {
        return fail(book.error());
    }
    if (book->sheets.empty()) {
        return fail("工作簿中没有工作表");
    }
    return sheetText(*book, book->sheets.front());
}

Result<SheetText> readSheet(std::string_view path, std::string_view name) {
    auto book = loadWorkbook(path);
    if (!book) {
        return fail(book.error());
    }
    const Sheet* sheet = book->findSheet(name);
    if (sheet == nullptr) {
        return fail("工作簿中没有工作表“" + std::string(name) + "”");
    }
    return sheetText(*book, *sheet);
}

std::optional<CellPosition> parseCellReference(std::string_view reference) {
    std::size_t i = 0;
    std::uint32_t column = 0;
    while (i < reference.size() && i < 3) {
        char c = reference[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c < 'A' || c > 'Z') {
            break;
        }
        column = column * 26 + static_cast<std::uint32_t>(c - 'A' + 1);
        ++i;
    }
    if (i == 0 || column > 256 || i == reference.size()) {
        return std::nullopt;
    }
    std::uint32_t row = 0;
    for (; i < reference.size(); ++i) {
        const char c = reference[i];
        if (c < '0' || c > '9' || row > 65536) {
            return std::nullopt;
        }
        row = row * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (row < 1 || row > 65536) {
        return std::nullopt;
    }
    return CellPosition{row - 1, column - 1};
}

Result<std::string> readCellText(const Workbook& workbook, std::string_view reference) {
    const std::optional<CellPosition> position = parseCellReference(reference);
    if (!position) {
        return fail("无效的单元格引用“" + std::string(reference) + "”");
    }
    if (workbook.sheets.empty()) {
        return fail("工作簿中没有工作表");
    }
    const Cell* cell = workbook.sheets.front().cellAt(position->row, position->column);
    return cell == nullptr ? std::string() : cellText(workbook, *cell);
}

Result<std::string> readCellText(std::string_view path, std::string_view reference) {
    if (!parseCellReference(reference)) {
        return fail("无效的单元格引用“" + std::string(reference) + "”");
    }
    auto book = loadWorkbook(path);
    if (!book) {
        return fail(book.error());
    }
    return readCellText(*book, reference);
}

} // namespace chengxi::xls
