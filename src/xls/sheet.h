#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace chengxi::xls {

enum class CellKind : std::uint8_t { Blank, Text, Number, Boolean, Error };

// One cell: its position, its cell format (an index into Workbook::styles)
// and its value. Text lives in the workbook's string pool. Sixteen bytes, so
// a full sheet of a million cells stays small.
struct Cell {
    std::uint16_t row = 0;
    std::uint16_t column = 0;
    CellKind kind = CellKind::Blank;
    std::uint16_t style = 0;
    union {
        double number;
        std::uint32_t text;
        std::uint8_t code; // boolean 0/1 or error code
    } value{0.0};

    static Cell blank(std::uint16_t row, std::uint16_t column, std::uint16_t style) {
        return {row, column, CellKind::Blank, style};
    }
    static Cell ofText(std::uint16_t row, std::uint16_t column, std::uint16_t style,
                       std::uint32_t text) {
        Cell cell{row, column, CellKind::Text, style};
        cell.value.text = text;
        return cell;
    }
    static Cell ofNumber(std::uint16_t row, std::uint16_t column, std::uint16_t style,
                         double number) {
        Cell cell{row, column, CellKind::Number, style};
        cell.value.number = number;
        return cell;
    }
    static Cell ofBoolean(std::uint16_t row, std::uint16_t column, std::uint16_t style,
                          bool truth) {
        Cell cell{row, column, CellKind::Boolean, style};
        cell.value.code = truth ? 1 : 0;
        return cell;
    }
    static Cell ofError(std::uint16_t row, std::uint16_t column, std::uint16_t style,
                        std::uint8_t code) {
        Cell cell{row, column, CellKind::Error, style};
        cell.value.code = code;
        return cell;
    }

    // A blank cell carries formatting only.
    bool holdsValue() const { return kind != CellKind::Blank; }
};

// Width of a run of columns, in 1/256 of a character.
struct ColumnWidth {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
    std::uint16_t width = 2048;
    std::uint16_t style = 15;
    bool hidden = false;
};

// The last row index a sheet of the format can hold.
inline constexpr std::uint32_t kLastRowIndex = 65535;
// The last column index (IV).
inline constexpr std::uint32_t kLastColumnIndex = 255;

// One worksheet: its name, its cells ordered by row and column, and its
// column widths.
class Sheet {
public:
    std::string name;
    std::vector<ColumnWidth> columnWidths;
    std::uint16_t defaultColumnWidth = 8; // characters

    // Takes the cells in any order; when two share a position the later one
    // wins, as when the format repeats a cell.
    void assignCells(std::vector<Cell> cells);

    // Sets the cells of one row; cells of that row at other columns stay.
    // `cells` must all lie in `row`.
    void putRow(std::uint16_t row, std::span<const Cell> cells);

    std::span<const Cell> cells() const { return cells_; }
    std::span<const Cell> rowCells(std::uint32_t row) const;
    const Cell* cellAt(std::uint32_t row, std::uint32_t column) const;

    // 1 + the last row that holds a value (formatted blank cells do not
    // count); 0 for a sheet without values.
    std::uint32_t rowCount() const { return valueRows_; }
    // 1 + the last column that holds a value.
    std::uint32_t columnCount() const { return valueColumns_; }

private:
    void reindex();

    std::vector<Cell> cells_;
    // rowStart_[r] is the index of the first cell in row r or later; it has
    // one entry more than the highest row with cells.
    std::vector<std::uint32_t> rowStart_;
    std::uint32_t valueRows_ = 0;
    std::uint32_t valueColumns_ = 0;
};

} // namespace chengxi::xls
