#include "ui/controls/list_view.h"

#include "text/cp936.h"

#include <algorithm>

namespace chengxi::ui {
namespace {

// The columns whose cells can wait encoded: one bit each in a row's mask.
constexpr std::size_t kEncodedColumns = 64;

} // namespace

void ListView::addColumn(ListColumn column) {
    columns_.push_back(std::move(column));
    for (auto& cells : rows_) {
        cells.resize(columns_.size());
    }
    ++revision_;
}

int ListView::appendRow() {
    rows_.emplace_back(columns_.size());
    encoded_.push_back(0);
    marked_.push_back(false);
    ++revision_;
    return rowCount() - 1;
}

int ListView::appendEncodedRow(std::span<const std::string_view> cells) {
    std::vector<std::string>& row = rows_.emplace_back(columns_.size());
    std::uint64_t encoded = 0;
    for (std::size_t c = 0; c < cells.size() && c < row.size(); ++c) {
        if (c < kEncodedColumns) {
            row[c] = cells[c];
            encoded |= std::uint64_t{1} << c;
        } else {
            row[c] = text::fromCp936(cells[c]);
        }
    }
    encoded_.push_back(encoded);
    marked_.push_back(false);
    ++revision_;
    return rowCount() - 1;
}

void ListView::decodeCell(std::size_t row, std::size_t column) const {
    const std::uint64_t bit = column < kEncodedColumns ? std::uint64_t{1} << column : 0;
    if ((encoded_[row] & bit) != 0) {
        rows_[row][column] = text::fromCp936(rows_[row][column]);
        encoded_[row] &= ~bit;
    }
}

void ListView::decodeRow(std::size_t row) const {
    for (std::size_t c = 0; encoded_[row] != 0 && c < rows_[row].size(); ++c) {
        decodeCell(row, c);
    }
}

void ListView::setCell(int row, int column, std::string text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(columns_.size())) {
        return;
    }
    rows_[row][column] = std::move(text);
    if (column < static_cast<int>(kEncodedColumns)) {
        encoded_[row] &= ~(std::uint64_t{1} << column); // the new text is UTF-8
    }
    ++revision_;
}

const std::string& ListView::cell(int row, int column) const {
    static const std::string empty;
    if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(columns_.size())) {
        return empty;
    }
    decodeCell(static_cast<std::size_t>(row), static_cast<std::size_t>(column));
    return rows_[row][column];
}

const std::vector<std::string>& ListView::row(int index) const {
    const std::vector<std::string>& cells = rows_.at(index);
    decodeRow(static_cast<std::size_t>(index));
    return cells;
}

void ListView::setCellAlert(int row, int column, bool alert) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(columns_.size())) {
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
    encoded_.clear();
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
