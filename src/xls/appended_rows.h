#pragma once

#include "xls/sheet.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace chengxi::xls {

// Text rows added below the last row of a sheet's cells, each cell in the
// default cell format, kept as the few bytes its record needs: its column
// (unwritten when a row's columns follow one another) and the pool index of
// its text. A full sheet of an export then costs two or three bytes a cell
// instead of a Cell of sixteen, and the bytes live in blocks, so growing
// never copies them.
class AppendedRows {
public:
    // Adds `cells` as row `row`, below every row added before. False, adding
    // nothing, when they are not all text cells of that row in the default
    // cell format, or two share a column.
    bool add(std::uint16_t row, std::span<const Cell> cells);

    bool empty() const { return rows_ == 0; }
    std::size_t cellCount() const { return cells_; }
    std::uint32_t rowCount() const { return rows_; }
    // The first row added; 0 when none was.
    std::uint16_t firstRow() const { return firstRow_; }
    // 1 + the last row added; 0 when none was.
    std::uint32_t endRow() const { return endRow_; }
    std::uint16_t firstColumn() const { return firstColumn_; }
    // 1 + the last column that holds a cell.
    std::uint16_t endColumn() const { return endColumn_; }

    // Calls `visit` with each row and its cells, ordered by column.
    void forEachRow(const std::function<void(std::uint16_t, std::span<const Cell>)>& visit) const;
    // Puts the rows into `sheet`, below its cells, and forgets them.
    void moveInto(Sheet& sheet);

private:
    std::vector<std::vector<std::uint8_t>> blocks_;
    std::vector<Cell> sorted_; // of the row being added, reused
    std::size_t cells_ = 0;
    std::uint32_t rows_ = 0;
    std::uint16_t firstRow_ = 0;
    std::uint32_t endRow_ = 0;
    std::uint16_t firstColumn_ = 0;
    std::uint16_t endColumn_ = 0;
};

} // namespace chengxi::xls
