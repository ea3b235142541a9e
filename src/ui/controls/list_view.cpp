#include "ui/controls/list_view.h"

#include "text/cp936.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace chengxi::ui {

bool ListView::inside(int row, int column) const {
    return row >= 0 && row < rowCount() && column >= 0 &&
           column < static_cast<int>(columns_.size());
}

void ListView::addColumn(ListColumn column) {
    columns_.push_back(std::move(column));
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (stored_[r].decoded) {
            rows_[r].resize(columns_.size());
        }
    }
    ++revision_;
}

int ListView::appendRow() {
    rows_.emplace_back(columns_.size());
    stored_.emplace_back();
    marked_.push_back(false);
    ++revision_;
    return rowCount() - 1;
}

int ListView::appendEncodedRow(std::span<const std::string_view> cells) {
    const std::size_t count = std::min(cells.size(), columns_.size());
    std::size_t bytes = 0;
    for (std::size_t c = 0; c < count; ++c) {
        bytes += cells[c].size();
    }
    constexpr std::size_t kMostOffset = std::numeric_limits<std::uint32_t>::max();
    if (pool_.size() + bytes > kMostOffset || cellEnds_.size() + count > kMostOffset) {
        // Past what the shared buffers can address: decoded at once instead.
        const int row = appendRow();
        for (std::size_t c = 0; c < count; ++c) {
            rows_.back()[c] = text::fromCp936(cells[c]);
        }
        return row;
    }
    const std::size_t firstCell = cellEnds_.size();
    stored_.push_back(
        {static_cast<std::uint32_t>(firstCell), static_cast<std::uint32_t>(count), false});
    // Room made once for the row, then each cell copied in.
    std::size_t end = pool_.size();
    pool_.resize(end + bytes);
    for (std::size_t c = 0; c < count; ++c) {
        std::memcpy(pool_.data() + end, cells[c].data(), cells[c].size());
        end += cells[c].size();
        cellEnds_.push_back(static_cast<std::uint32_t>(end));
    }
    rows_.emplace_back();
    marked_.push_back(false);
    ++revision_;
    return rowCount() - 1;
}

std::string_view ListView::storedBytes(const StoredRow& stored, std::uint32_t cell) const {
    const std::uint32_t at = stored.first + cell;
    const std::uint32_t begin = at == 0 ? 0 : cellEnds_[at - 1];
    return std::string_view(pool_).substr(begin, cellEnds_[at] - begin);
}

void ListView::decode(std::size_t row) const {
    StoredRow& stored = stored_[row];
    if (stored.decoded) {
        return;
    }
    std::vector<std::string>& cells = rows_[row];
    cells.resize(columns_.size());
    for (std::uint32_t c = 0; c < stored.count && c < cells.size(); ++c) {
        cells[c] = text::fromCp936(storedBytes(stored, c));
    }
    stored.decoded = true;
}

void ListView::setCell(int row, int column, std::string text) {
    if (!inside(row, column)) {
        return;
    }
    decode(static_cast<std::size_t>(row));
    rows_[row][column] = std::move(text);
    stored_[row].count = 0; // its stored bytes no longer all match
    ++revision_;
}

const std::string& ListView::cell(int row, int column) const {
    static const std::string empty;
    if (!inside(row, column)) {
        return empty;
    }
    decode(static_cast<std::size_t>(row));
    return rows_[row][column];
}

const std::vector<std::string>& ListView::row(int index) const {
    const std::vector<std::string>& cells = rows_.at(index);
    decode(static_cast<std::size_t>(index));
    return cells;
}

std::optional<std::string_view> ListView::storedCell(int row, int column) const {
    if (!inside(row, column) || static_cast<std::uint32_t>(column) >= stored_[row].count) {
        return std::nullopt;
    }
    return storedBytes(stored_[row], static_cast<std::uint32_t>(column));
}

void ListView::setCellAlert(int row, int column, bool alert) {
    if (!inside(row, column)) {
        return;
    }
    if (alert) {
        alerts_.emplace(row, column);
    } else {
        alerts_.erase({row, column});
    }
    ++revision_;
}

bool ListView::cellAlert(int row, int column) const {
    return alerts_.contains({row, column});
}

void ListView::clearRows() {
    rows_.clear();
    stored_.clear();
    cellEnds_.clear();
    pool_.clear();
    marked_.clear();
    alerts_.clear();
    selected_ = -1;
    ++revision_;
}

void ListView::setRowMarked(int row, bool marked) {
    if (row >= 0 && row < rowCount() && marked_[row] != marked) {
        marked_[row] = marked;
        ++revision_;
    }
}

bool ListView::rowMarked(int row) const {
    return row >= 0 && row < rowCount() && marked_[row];
}

void ListView::setSelected(int row) {
    selected_ = (row >= 0 && row < rowCount()) ? row : -1;
    ++revision_;
}

void ListView::setViewType(int type) {
    viewType_ = std::clamp(type, 0, 3);
    ++revision_;
}

void ListView::setGridLines(bool on) {
    gridLines_ = on;
    ++revision_;
}

} // namespace chengxi::ui
