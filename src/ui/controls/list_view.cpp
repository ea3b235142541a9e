#include "ui/controls/list_view.h"

#include "text/cp936.h"

#include <algorithm>

namespace chengxi::ui {

void ListView::addColumn(ListColumn column) {
    columns_.push_back(std::move(column));
    for (auto& cells : rows_) {
        cells.resize(columns_.size());
    }
    ++revision_;
}

int ListView::appendRow() {
    rows_.emplace_back(columns_.size());
    encoded_.push_back(false);
    marked_.push_back(false);
    ++revision_;
    return rowCount() - 1;
}

int ListView::appendEncodedRow(std::span<const std::string_view> cells) {
    std::vector<std::string>& row = rows_.emplace_back(columns_.size());
    for (std::size_t c = 0; c < cells.size() && c < row.size(); ++c) {
        row[c] = cells[c];
    }
    encoded_.push_back(true);
    marked_.push_back(false);
    ++revision_;
    return rowCount() - 1;
}

void ListView::decodeRow(std::size_t row) const {
    if (!encoded_[row]) {
        return;
    }
    for (std::string& text : rows_[row]) {
        text = text::fromCp936(text);
    }
    encoded_[row] = false;
}

void ListView::setCell(int row, int column, std::string text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(columns_.size())) {
        return;
    }
    decodeRow(static_cast<std::size_t>(row));
    rows_[row][column] = std::move(text);
    ++revision_;
}

const std::string& ListView::cell(int row, int column) const {
    static const std::string empty;
    if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(columns_.size())) {
        return empty;
    }
    decodeRow(static_cast<std::size_t>(row));
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
