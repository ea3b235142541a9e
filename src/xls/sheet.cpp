#include "xls/sheet.h"

#include <algorithm>

namespace chengxi::xls {
namespace {

bool positionLess(const Cell& a, const Cell& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
}

bool samePosition(const Cell& a, const Cell& b) {
    return a.row == b.row && a.column == b.column;
}

} // namespace

void Sheet::assignCells(std::vector<Cell> cells) {
    // Writers emit cells in order; sort only when one did not.
    if (!std::is_sorted(cells.begin(), cells.end(), positionLess)) {
        std::stable_sort(cells.begin(), cells.end(), positionLess);
    }
    // Keep the last of each run of equal positions.
    std::vector<Cell> unique;
    bool hasDuplicates = false;
    for (std::size_t i = 1; i < cells.size(); ++i) {
        if (samePosition(cells[i - 1], cells[i])) {
            hasDuplicates = true;
            break;
        }
    }
    if (hasDuplicates) {
        unique.reserve(cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i + 1 < cells.size() && samePosition(cells[i], cells[i + 1])) {
                continue;
            }
            unique.push_back(cells[i]);
        }
        cells = std::move(unique);
    }
    cells_ = std::move(cells);
    reindex();
}

void Sheet::reindex() {
    rowStart_.clear();
    valueRows_ = 0;
    valueColumns_ = 0;
    if (cells_.empty()) {
        return;
    }
    const std::uint32_t lastRow = cells_.back().row;
    rowStart_.assign(lastRow + 2, 0);
    std::size_t index = 0;
    for (std::uint32_t row = 0; row <= lastRow + 1; ++row) {
        while (index < cells_.size() && cells_[index].row < row) {
            ++index;
        }
        rowStart_[row] = static_cast<std::uint32_t>(index);
    }
    for (const Cell& cell : cells_) {
        if (cell.holdsValue()) {
            valueRows_ = std::max<std::uint32_t>(valueRows_, cell.row + 1u);
            valueColumns_ = std::max<std::uint32_t>(valueColumns_, cell.column + 1u);
        }
    }
}

std::span<const Cell> Sheet::rowCells(std::uint32_t row) const {
    if (row + 1 >= rowStart_.size()) {
        return {};
    }
    return std::span<const Cell>(cells_).subspan(rowStart_[row],
                                                 rowStart_[row + 1] - rowStart_[row]);
}

const Cell* Sheet::cellAt(std::uint32_t row, std::uint32_t column) const {
    const std::span<const Cell> cells = rowCells(row);
    // Rows filled from column A without gaps are the common case.
    if (column < cells.size() && cells[column].column == column) {
        return &cells[column];
    }
    const auto found =
        std::lower_bound(cells.begin(), cells.end(), column,
                         [](const Cell& cell, std::uint32_t c) { return cell.column < c; });
    return found != cells.end() && found->column == column ? &*found : nullptr;
}

void Sheet::putRow(std::uint16_t row, std::span<const Cell> cells) {
    if (cells.empty()) {
        return;
    }
    const bool beyondEnd = cells_.empty() || row > cells_.back().row;
    if (beyondEnd && std::is_sorted(cells.begin(), cells.end(), positionLess) &&
        std::adjacent_find(cells.begin(), cells.end(), samePosition) == cells.end()) {
        // Appending a new last row: the common case of an export.
        const auto oldEnd = static_cast<std::uint32_t>(cells_.size());
        cells_.insert(cells_.end(), cells.begin(), cells.end());
        if (rowStart_.empty()) {
            rowStart_.push_back(0);
        }
        rowStart_.resize(row + 2u, oldEnd);
        rowStart_[row + 1u] = static_cast<std::uint32_t>(cells_.size());
        for (const Cell& cell : cells) {
            if (cell.holdsValue()) {
                valueRows_ = std::max<std::uint32_t>(valueRows_, cell.row + 1u);
                valueColumns_ = std::max<std::uint32_t>(valueColumns_, cell.column + 1u);
            }
        }
        return;
    }
    // The row's old cells, then the new ones: after a stable sort the last
    // of each position is the new cell.
    std::vector<Cell> merged(rowCells(row).begin(), rowCells(row).end());
    merged.insert(merged.end(), cells.begin(), cells.end());
    std::stable_sort(merged.begin(), merged.end(), positionLess);
    std::vector<Cell> unique;
    for (std::size_t i = 0; i < merged.size(); ++i) {
        if (i + 1 < merged.size() && samePosition(merged[i], merged[i + 1])) {
            continue;
        }
        unique.push_back(merged[i]);
    }
    const auto first =
        std::lower_bound(cells_.begin(), cells_.end(), row,
                         [](const Cell& cell, std::uint32_t r) { return cell.row < r; });
    const auto last =
        std::lower_bound(first, cells_.end(), row + 1u,
                         [](const Cell& cell, std::uint32_t r) { return cell.row < r; });
    const auto at = cells_.erase(first, last);
    cells_.insert(at, unique.begin(), unique.end());
    reindex();
}

} // namespace chengxi::xls
