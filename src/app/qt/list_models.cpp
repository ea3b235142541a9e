#include "app/qt/list_models.h"

#include "app/qt/qt_text.h"

#include <QColor>

namespace chengxi::qt {
namespace {

// Lent books stand out in dark red.
const QColor kMarkedRowColour(176, 0, 0);

Qt::Alignment toQt(ui::Alignment alignment) {
    return (alignment == ui::Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft) |
           Qt::AlignVCenter;
}

} // namespace

ListViewModel::ListViewModel(const ui::ListView& list, QObject* parent)
    : QAbstractTableModel(parent), list_(&list), revision_(list.revision()),
      columns_(columnsOf(list)), rows_(list.rowCount()) {}

std::vector<ListViewModel::ShownColumn> ListViewModel::columnsOf(const ui::ListView& list) {
    std::vector<ShownColumn> columns;
    columns.reserve(list.columns().size());
    for (const ui::ListColumn& column : list.columns()) {
        columns.push_back({toQString(column.caption), column.width, column.alignment});
    }
    return columns;
}

bool ListViewModel::sync() {
    if (list_ == nullptr || list_->revision() == revision_) {
        return false;
    }
    revision_ = list_->revision();
    std::vector<ShownColumn> columns = columnsOf(*list_);
    const int rows = list_->rowCount();
    if (columns != columns_) {
        beginResetModel();
        columns_ = std::move(columns);
        rows_ = rows;
        endResetModel();
        return true;
    }
    // The rows may have been cleared and filled again: whatever is left of
    // the rows the view knows is redrawn, the rest removed or inserted.
    if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    if (rows_ > 0 && !columns_.empty()) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    }
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    }
    return false;
}

void ListViewModel::detach() {
    beginResetModel();
    list_ = nullptr;
    rows_ = 0;
    columns_.clear();
    endResetModel();
}

int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (list_ == nullptr || !index.isValid()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return toQString(list_->cell(index.row(), index.column()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(toQt(columns_.at(index.column()).alignment));
    case Qt::ForegroundRole:
        if (list_->cellAlert(index.row(), index.column())) {
            return QColor(Qt::red);
        }
        return list_->rowMarked(index.row()) ? QVariant(kMarkedRowColour) : QVariant();
    default:
        return {};
    }
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return columns_[section].caption;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(toQt(columns_[section].alignment));
    default:
        return {};
    }
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const {
    return index.isValid() ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable) : Qt::NoItemFlags;
}

ListBoxModel::ListBoxModel(const ui::Control& listBox, QObject* parent)
    : QAbstractListModel(parent), listBox_(&listBox), revision_(listBox.itemsRevision()),
      rows_(static_cast<int>(listBox.items().size())) {}

void ListBoxModel::sync() {
    if (listBox_ == nullptr || listBox_->itemsRevision() == revision_) {
        return;
    }
    revision_ = listBox_->itemsRevision();
    const int rows = static_cast<int>(listBox_->items().size());
    if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    if (rows_ > 0) {
        emit dataChanged(index(0), index(rows_ - 1));
    }
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    }
}

void ListBoxModel::detach() {
    beginResetModel();
    listBox_ = nullptr;
    rows_ = 0;
    endResetModel();
}

int ListBoxModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const {
    if (listBox_ == nullptr || !index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    const auto& items = listBox_->items();
    const auto row = static_cast<std::size_t>(index.row());
    return row < items.size() ? toQString(items[row]) : QVariant();
}

} // namespace chengxi::qt
