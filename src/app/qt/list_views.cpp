// List views in report view and list boxes, both over models of the program's data.
#include "app/qt/control_view.h"
#include "app/qt/list_models.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QTableView>

namespace chengxi::qt {
namespace {

// Rows as high as the platform's list view draws them at the default face.
constexpr int kRowHeight = 18;
constexpr int kHeaderHeight = 21;

class ReportView final : public ControlView {
public:
    ReportView(ui::Control& control, QTableView* table, FormInput& input)
        : ControlView(control, table, input), table_(table),
          model_(new ListViewModel(control.listView(), table)) {
        table->setModel(model_);
        applyColumnWidths();
        QObject::connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, context(),
                         [this] { personSelected(); });
    }

    void detach() override {
        model_->detach();
        ControlView::detach();
    }

protected:
    void syncState(ui::Control& control) override {
        const ui::ListView& list = control.listView();
        if (model_->sync()) {
            applyColumnWidths();
        }
        if (table_->showGrid() != list.gridLines()) {
            table_->setShowGrid(list.gridLines());
        }
        if (shownSelection() != list.selected()) {
            QItemSelectionModel* selection = table_->selectionModel();
            if (list.selected() < 0) {
                selection->clear();
            } else {
                selection->setCurrentIndex(model_->index(list.selected(), 0),
                                           QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
            }
        }
    }

private:
    int shownSelection() const {
        const QModelIndexList rows = table_->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

    void personSelected() {
        ui::Control* model = acceptingControl();
        if (model == nullptr) {
            return;
        }
        ui::ListView& list = model->listView();
        const int row = shownSelection();
        if (row == list.selected()) {
            return;
        }
        list.setSelected(row);
        if (row >= 0) {
            input().fire(name(), ui::Event::RowSelected);
        }
    }

    void applyColumnWidths() {
        for (int column = 0; column < model_->columnCount(); ++column) {
            table_->horizontalHeader()->resizeSection(column, model_->columnWidth(column));
        }
    }

    QTableView* table_;
    ListViewModel* model_;
};

class ListBoxView final : public ControlView {
public:
    ListBoxView(ui::Control& control, QListView* list, FormInput& input)
        : ControlView(control, list, input), list_(list), model_(new ListBoxModel(control, list)) {
        list->setModel(model_);
        // The item the person picks is the one an operation (restore) acts on.
        QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, context(),
                         [this] { personSelected(); });
    }

    void detach() override {
        model_->detach();
        ControlView::detach();
    }

protected:
    void syncState(ui::Control& control) override {
        model_->sync();
        if (shownSelection() != control.currentItem()) {
            QItemSelectionModel* selection = list_->selectionModel();
            if (control.currentItem() < 0) {
                selection->clear();
            } else {
                selection->setCurrentIndex(model_->index(control.currentItem()),
                                           QItemSelectionModel::ClearAndSelect);
            }
        }
    }

private:
    int shownSelection() const {
        const QModelIndexList rows = list_->selectionModel()->selectedIndexes();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

    void personSelected() {
        if (ui::Control* model = acceptingControl(); model != nullptr) {
            model->setCurrentItem(shownSelection());
        }
    }

    QListView* list_;
    ListBoxModel* model_;
};

} // namespace

std::unique_ptr<ControlView> makeReportView(ui::Control& control, QWidget* parent,
                                            FormInput& input) {
    auto* table = new QTableView(parent);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->setTabKeyNavigation(false);
    table->setCornerButtonEnabled(false);
    table->setShowGrid(control.listView().gridLines());
    // Row heights are fixed, so a hundred thousand rows cost no more than ten.
    QHeaderView* rows = table->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(kRowHeight);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setFixedHeight(kHeaderHeight);
    return std::make_unique<ReportView>(control, table, input);
}

std::unique_ptr<ControlView> makeListBoxView(ui::Control& control, QWidget* parent,
                                             FormInput& input) {
    auto* list = new QListView(parent);
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return std::make_unique<ListBoxView>(control, list, input);
}

} // namespace chengxi::qt
