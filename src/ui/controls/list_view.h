#pragma once

#include "ui/controls/form_records.h"

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace chengxi::ui {

struct ListColumn {
    std::string caption;
    int width = 0;
    Alignment alignment = Alignment::Left;
};

// A list view in report view: columns, rows of cell texts, the current row.
// Every row has exactly one cell per column; writing a cell outside the rows
// or columns does nothing and reading one gives the empty text, as with the
// platform's list view.
class ListView {
public:
    const std::vector<ListColumn>& columns() const { return columns_; }
    void addColumn(ListColumn column);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Appends an empty row and returns its index.
    int appendRow();
    // Appends a row of texts in code page 936, as the database holds them,
    // one per column from the first; they are decoded the first time a cell
    // of the row is read, so a list of thousands decodes only what is shown.
    int appendEncodedRow(std::span<const std::string_view> cells);
    void setCell(int row, int column, std::string text);
    const std::string& cell(int row, int column) const;
    const std::vector<std::string>& row(int index) const;
    void clearRows();

    // A row drawn apart from the others (a book that is lent); cleared with
    // the rows.
    void setRowMarked(int row, bool marked);
    bool rowMarked(int row) const;
    // A cell the librarian must notice (a loan past its due date), drawn in
    // the alert colour; cleared with the rows.
    void setCellAlert(int row, int column, bool alert);
    bool cellAlert(int row, int column) const;

    // -1 when no row is current.
    int selected() const { return selected_; }
    // Any index outside the rows clears the selection.
    void setSelected(int row);

    // 0 large icons, 1 small icons, 2 list, 3 report; other values are clamped.
    int viewType() const { return viewType_; }
    void setViewType(int type);
    bool gridLines() const { return gridLines_; }
    void setGridLines(bool on);

    // Grows with every change, so a front end can tell what to redraw.
    std::uint64_t revision() const { return revision_; }

private:
    // Decodes a cell still in code page 936; nothing for any other cell.
    void decodeCell(std::size_t row, std::size_t column) const;
    void decodeRow(std::size_t row) const;

    std::vector<ListColumn> columns_;
    // Each row's cells; a cell of a row appended encoded holds code page 936
    // until decodeCell(), which a read calls first.
    mutable std::vector<std::vector<std::string>> rows_;
    // Parallel to rows_: a bit for each of the first 64 columns still encoded.
    mutable std::vector<std::uint64_t> encoded_;
    std::vector<bool> marked_; // parallel to rows_
    std::set<std::pair<int, int>> alerts_;
    int selected_ = -1;
    int viewType_ = 3;
    bool gridLines_ = false;
    std::uint64_t revision_ = 0;
};

} // namespace chengxi::ui
