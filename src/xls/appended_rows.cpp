#include "xls/appended_rows.h"

#include "xls/workbook.h"

#include <algorithm>

namespace chengxi::xls {
namespace {

// A block holds whole rows; a row of 256 cells takes at most 5 + 256 * 6 bytes.
// A row is its number, its cell count less one, its first column and whether
// its columns follow one another, which then go unwritten.
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kLargestRow = 5 + (kLastColumnIndex + 1) * 6;

// Pool indexes by seven bits a byte, the low bits first: the texts a
// catalogue repeats have small indexes and take one or two bytes.
void putIndex(std::vector<std::uint8_t>& out, std::uint32_t index) {
    while (index >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(index | 0x80));
        index >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(index));
}

std::uint32_t takeIndex(const std::uint8_t*& at) {
    std::uint32_t index = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t byte = *at++;
        index |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        if (byte < 0x80) {
            return index;
        }
    }
}

bool columnLess(const Cell& a, const Cell& b) {
    return a.column < b.column;
}

} // namespace

bool AppendedRows::add(std::uint16_t row, std::span<const Cell> cells) {
    if (cells.empty() || cells.size() > kLastColumnIndex + 1 || (rows_ != 0 && row < endRow_)) {
        return false;
    }
    sorted_.assign(cells.begin(), cells.end());
    if (!std::is_sorted(sorted_.begin(), sorted_.end(), columnLess)) {
        std::sort(sorted_.begin(), sorted_.end(), columnLess);
    }
    for (std::size_t i = 0; i < sorted_.size(); ++i) {
        const Cell& cell = sorted_[i];
        if (cell.row != row || cell.kind != CellKind::Text || cell.style != kDefaultCellStyle ||
            cell.column > kLastColumnIndex || (i > 0 && sorted_[i - 1].column == cell.column)) {
            return false;
        }
    }
    if (blocks_.empty() || blocks_.back().size() + kLargestRow > kBlockSize) {
        blocks_.emplace_back().reserve(kBlockSize);
    }
    std::vector<std::uint8_t>& block = blocks_.back();
    block.push_back(static_cast<std::uint8_t>(row));
    block.push_back(static_cast<std::uint8_t>(row >> 8));
    block.push_back(static_cast<std::uint8_t>(sorted_.size() - 1));
    block.push_back(static_cast<std::uint8_t>(sorted_.front().column));
    const bool adjacent = sorted_.back().column - sorted_.front().column + 1u == sorted_.size();
    block.push_back(adjacent ? 1 : 0);
    for (const Cell& cell : sorted_) {
        if (!adjacent) {
            block.push_back(static_cast<std::uint8_t>(cell.column));
        }
        putIndex(block, cell.value.text);
    }
    const std::uint16_t first = sorted_.front().column;
    const auto end = static_cast<std::uint16_t>(sorted_.back().column + 1);
    firstColumn_ = rows_ == 0 ? first : std::min(firstColumn_, first);
    firstRow_ = rows_ == 0 ? row : firstRow_;
    endColumn_ = std::max(endColumn_, end);
    endRow_ = row + 1u;
    cells_ += sorted_.size();
    ++rows_;
    return true;
}

void AppendedRows::forEachRow(
    const std::function<void(std::uint16_t, std::span<const Cell>)>& visit) const {
    std::vector<Cell> cells;
    for (const std::vector<std::uint8_t>& block : blocks_) {
        const std::uint8_t* at = block.data();
        const std::uint8_t* const end = at + block.size();
        while (at < end) {
            const auto row = static_cast<std::uint16_t>(at[0] | at[1] << 8);
            const std::size_t count = std::size_t{at[2]} + 1;
            const std::uint16_t first = at[3];
            const bool adjacent = at[4] != 0;
            at += 5;
            cells.clear();
            for (std::size_t i = 0; i < count; ++i) {
                const auto column = static_cast<std::uint16_t>(adjacent ? first + i : *at++);
                cells.push_back(Cell::ofText(row, column, kDefaultCellStyle, takeIndex(at)));
            }
            visit(row, cells);
        }
    }
}

void AppendedRows::moveInto(Sheet& sheet) {
    forEachRow([&](std::uint16_t row, std::span<const Cell> cells) { sheet.putRow(row, cells); });
    *this = AppendedRows();
}

} // namespace chengxi::xls
