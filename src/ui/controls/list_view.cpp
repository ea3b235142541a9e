#include "ui/controls/list_view.h"

#include "text/cp936.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace chengxi::ui {

bool ListView::inside(int row, int column) const {
    return row >= 0 && row < rowCount() && column >= 0 &&
           column < static_cast<int>(columns_.size());
}

void ListView::addColumn(ListColumn column) {
    columns_.push_back(std::move(column));
    for (std::vector<std::string>& texts : texts_) {
        texts.resize(columns_.size());
    }
    ++revision_;
}

int ListView::appendRow() {
    rows_.push_back({0, 0, static_cast<std::uint32_t>(texts_.size()), false});
    texts_.emplace_back(columns_.size());
    ++revision_;
    return rowCount() - 1;
}

int ListView::appendEncodedRow(std::span<const std::string_view> cells) {
    const std::size_t count = std::min(cells.size(), columns_.size());
    std::size_t bytes = 0;
    for (std::size_t c = 0; c < count; ++c) {
        bytes += cells[c].size();
    }
    constexpr std::size_t kMostOffset = std::numeric_limits<std::uint32_t>::max() - 1;
    if (pool_.size() + bytes > kMostOffset || cellEnds_.size() + count > kMostOffset) {
        // Past what the shared buffers can address: decoded at once instead.
        const int row = appendRow();
        for (std::size_t c = 0; c < count; ++c) {
            texts_.back()[c] = text::fromCp936(cells[c]);
        }
        return row;
    }
    const std::size_t firstCell = cellEnds_.size();
    rows_.push_back({static_cast<std::uint32_t>(firstCell), static_cast<std::uint32_t>(count),
                     kNoTexts, false});
    // Room made once for the row, then each cell copied in.
    std::size_t end = pool_.size();
    pool_.resize(end + bytes);
    for (std::size_t c = 0; c < count; ++c) {
        // A NULL cell comes as an empty view without data: nothing to copy.
        std::copy(cells[c].begin(), cells[c].end(), pool_.data() + end);
        end += cells[c].size();
        cellEnds_.push_back(static_cast<std::uint32_t>(end));
    }
    ++revision_;
    return rowCount() - 1;
}

std::string_view ListView::storedBytes(const Row& row, std::uint32_t cell) const {
    const std::uint32_t at = row.first + cell;
    const std::uint32_t begin = at == 0 ? 0 : cellEnds_[at - 1];
    return std::string_view(pool_).substr(begin, cellEnds_[at] - begin);
}

std::vector<std::string>& ListView::textsOf(std::size_t index) const {
    Row& row = rows_[index];
    if (row.texts == kNoTexts) {
        row.texts = static_cast<std::uint32_t>(texts_.size());
        std::vector<std::string>& texts = texts_.emplace_back(columns_.size());
        for (std::uint32_t c = 0; c < row.count && c < texts.size(); ++c) {
            texts[c] = text::fromCp936(storedBytes(row, c));
        }
    }
    return texts_[row.texts];
}

void ListView::setCell(int row, int column, std::string text) {
    if (!inside(row, column)) {
        return;
    }
    textsOf(static_cast<std::size_t>(row))[column] = std::move(text);
    rows_[row].count = 0; // its stored bytes no longer all match
    ++revision_;
}

const std::string& ListView::cell(int row, int column) const {
    static const std::string empty;
    if (!inside(row, column)) {
        return empty;
    }
    return textsOf(static_cast<std::size_t>(row))[column];
}

const std::vector<std::string>& ListView::row(int index) const {
    if (index < 0 || index >= rowCount()) {
        throw std::out_of_range("ListView::row");
    }
    return textsOf(static_cast<std::size_t>(index));
}

std::optional<std::string_view> ListView::storedCell(int row, int column) const {
    if (!inside(row, column) || static_cast<std::uint32_t>(column) >= rows_[row].count) {
        return std::nullopt;
    }
    return storedBytes(rows_[row], static_cast<std::uint32_t>(column));
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
    texts_.clear();
    cellEnds_.clear();
    pool_.clear();
    alerts_.clear();
    selected_ = -1;
    ++revision_;
}

void ListView::setRowMarked(int row, bool marked) {
    if (row >= 0 && row < rowCount() && rows_[row].marked != marked) {
        rows_[row].marked = marked;
        ++revision_;
    }
}

bool ListView::rowMarked(int row) const {
    return row >= 0 && row < rowCount() && rows_[row].marked;
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
