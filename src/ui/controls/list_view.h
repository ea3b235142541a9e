#pragma once

#include "ui/controls/form_records.h"

#include <cstdint>
#include <deque>
#include <optional>
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
    // The cell's code-page bytes as appended, decoded or not; nothing for a
    // row appended as texts or changed since, and for a cell beyond those
    // appended. Lets a caller match stored values without decoding them.
    std::optional<std::string_view> storedCell(int row, int column) const;
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
    static constexpr std::uint32_t kNoTexts = 0xFFFFFFFF;

    // A row: where its stored cells are, if it was appended encoded (the
    // ends of its `count` cells in cellEnds_ from `first`, their bytes in
    // pool_), and where its texts are once it has them.
    struct Row {
        std::uint32_t first = 0;
        std::uint32_t count = 0; // 0: the row holds texts only
        std::uint32_t texts = kNoTexts;
        bool marked = false;
    };

    bool inside(int row, int column) const;
    std::string_view storedBytes(const Row& row, std::uint32_t cell) const;
    // The row's texts, decoded from its stored cells the first time.
    std::vector<std::string>& textsOf(std::size_t row) const;

    std::vector<ListColumn> columns_;
    mutable std::vector<Row> rows_;
    // The texts of the rows that have them. A deque, so that decoding one
    // row moves no other row's texts a caller may hold.
    mutable std::deque<std::vector<std::string>> texts_;
    // The encoded cells of all rows share two buffers, so appending or
    // clearing thousands of rows allocates and frees almost nothing.
    std::vector<std::uint32_t> cellEnds_;
    std::string pool_;
    std::set<std::pair<int, int>> alerts_;
    int selected_ = -1;
    int viewType_ = 3;
    bool gridLines_ = false;
    std::uint64_t revision_ = 0;
};

} // namespace chengxi::ui
