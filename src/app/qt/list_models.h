#pragma once

#include "ui/controls/control.h"
#include "ui/controls/list_view.h"

#include <QAbstractListModel>
#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace chengxi::qt {

// A list view's rows and columns for a Qt view, read straight from the model
// so that no widget or copy exists per cell. The counts the Qt view knows are
// kept apart from the model's and moved forward in sync(), which tells the
// view exactly which rows came or went.
class ListViewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    ListViewModel(const ui::ListView& list, QObject* parent);

    // Brings the Qt side in step; true when the columns were replaced (the
    // caller then sets the column widths again).
    bool sync();
    // The list is about to be destroyed.
    void detach();
    // The width the form gives the column, in pixels.
    int columnWidth(int column) const { return columns_.at(column).width; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct ShownColumn {
        QString caption;
        int width = 0;
        ui::Alignment alignment = ui::Alignment::Left;
        bool operator==(const ShownColumn&) const = default;
    };
    static std::vector<ShownColumn> columnsOf(const ui::ListView& list);

    const ui::ListView* list_;
    std::uint64_t revision_ = 0;
    std::vector<ShownColumn> columns_;
    int rows_ = 0;
};

// The lines of a list box, read from the control.
class ListBoxModel final : public QAbstractListModel {
    Q_OBJECT
public:
    ListBoxModel(const ui::Control& listBox, QObject* parent);

    void sync();
    void detach();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const ui::Control* listBox_;
    std::uint64_t revision_ = 0;
    int rows_ = 0;
};

} // namespace chengxi::qt
