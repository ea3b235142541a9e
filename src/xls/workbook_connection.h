#pragma once

#include "xls/appended_rows.h"
#include "xls/file_format.h"
#include "xls/sheet_statement.h"
#include "xls/workbook.h"
#include "xls/workbook_reader.h"
#include "xls/xlsx_reader.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::xls {

// Names an open sheet query; the null handle (id 0) stands for a failed one.
struct QueryHandle {
    int id = 0;
    explicit operator bool() const { return id != 0; }
    friend bool operator==(QueryHandle, QueryHandle) = default;
};

// The connection to one workbook file through which imports read sheet rows
// and exports add them. An .xls workbook is checked whole when the
// connection opens, but its cells are kept only when something asks for
// more than a walk through forEachRow(), which reads the rows one at a time
// from the file, a window of its workbook stream at a time; rows added by
// execute() or appendRow() reach the file when the connection closes.
// An .xlsx workbook (told by its bytes, not its name) is read-only: its rows
// stream from the file while forEachRow() visits them, so a sheet of any
// size costs the memory of one row.
class WorkbookConnection {
public:
    WorkbookConnection() = default;
    // Closes the connection, writing added rows to the file.
    ~WorkbookConnection();
    WorkbookConnection(const WorkbookConnection&) = delete;
    WorkbookConnection& operator=(const WorkbookConnection&) = delete;

    // Opens the workbook the connect string names (its DBQ part). On success
    // a connection already open is closed; on failure it stays open.
    bool open(std::string_view connectString);
    // Starts the new workbook `book`, to be written at `path` (UTF-8) when
    // the connection closes. Until then the file there stays as it was, so
    // an export that is stopped or killed midway never leaves a file that
    // is neither the earlier one nor the finished one. A connection already
    // open is closed first.
    void create(std::string_view path, Workbook book);
    // An .xlsx workbook is only read: create() and execute() are .xls only.
    bool isOpen() const { return book_.has_value() || xlsx_.has_value() || xls_ != nullptr; }
    // The kind of the file open() opened or tried last.
    WorkbookFormat format() const { return format_; }
    const std::string& workbookPath() const { return path_; }

    // Runs "select * from [NAME$]" or "select * from [NAME$]  where [COLUMN]
    // is not NULL"; the sheet name is matched regardless of letter case, the
    // column exactly. Row 1 holds the column names; each later row is a
    // result row ("is not NULL" keeps rows whose cell reads as a non-empty
    // text). The query starts on its first row. The null handle on failure.
    QueryHandle openQuery(std::string_view sql);
    // True when the last failure was the file itself (damaged, hostile),
    // not a statement it cannot answer (no such sheet or column).
    bool fileUnreadable() const { return fileUnreadable_; }
    // Makes each row of the query, from the current one to the last, the
    // current row in turn and calls `visit`, which reads it through read()
    // and sheetRow() and returns false to stop. The only way to walk an
    // .xlsx query: its rows are read from the file meanwhile, so a damaged
    // sheet fails here, with the reason, possibly after some rows.
    Status forEachRow(QueryHandle query, const std::function<bool()>& visit);
    void moveFirst(QueryHandle query);
    void moveNext(QueryHandle query);
    // True once the query is past its last row, or for an empty result.
    bool atEnd(QueryHandle query) const;
    // The rows of an .xls query; 0 for an .xlsx query, whose rows are not
    // known before forEachRow() has read them.
    std::size_t rowCount(QueryHandle query) const;
    // Where the current row stands in the sheet (0-based, row 0 holding the
    // column names), so a caller can tell the librarian which row it means;
    // 0 when the query has no current row.
    std::uint32_t sheetRow(QueryHandle query) const;
    // The current row's cell in the column whose header is exactly `column`,
    // as text by the value-to-text rule; empty when there is no such column
    // or no cell.
    std::string read(QueryHandle query, std::string_view column) const;
    // The same appended to `out`, for a caller that reuses its buffer.
    void readInto(QueryHandle query, std::string_view column, std::string& out) const;
    void closeQueries();

    // Runs "insert into [NAME$] ([C1],...) values ('V1',...)": adds one row
    // below the last row holding a value. Fails cleanly for any other
    // statement, an unknown column, a value longer than a cell holds, or a
    // sheet already at its last row; a failed insert adds nothing.
    bool execute(std::string_view sql);
    // The same insert given as values: `values[i]` goes to the column whose
    // header is `columns[i]`, as they are (no quoting); what exports use, so
    // no statement text is built per row only to be taken apart again.
    bool appendRow(std::string_view sheet, std::span<const std::string_view> columns,
                   std::span<const std::string_view> values);

    // Closes the connection. When rows were added, the whole workbook is
    // written back first; false when that write failed.
    bool close();
    // Closes the connection without writing the rows added: the file at
    // the path stays as it was.
    void discard();

    // Why the last failing call failed.
    const std::string& lastError() const { return lastError_; }

    // The open workbook, for inspection.
    const Workbook* workbook() const;

private:
    struct Header {
        std::string name;
        std::uint16_t column;
    };
    struct Query {
        std::size_t sheet = 0;
        std::vector<Header> headers;
        std::vector<std::uint16_t> rows;     // of an .xls sheet
        std::optional<std::uint16_t> filter; // the not-NULL column
        const XlsxRow* streamed = nullptr;   // of an .xlsx sheet: the current row
        // Of an .xls sheet whose rows are not listed yet: they are read
        // from the file by forEachRow(), which puts the current one here.
        bool rowsPending = false;
        std::optional<std::uint32_t> xlsRow;
        std::span<const Cell> xlsCells;
        std::size_t position = 0;
        mutable std::size_t guess = 0; // where the next column name is looked for first
    };

    const Query* query(QueryHandle handle) const;
    // The query with its rows listed, which reads an .xls workbook whole.
    const Query* listedQuery(QueryHandle handle) const;
    void listRows(Query& query) const;
    // Takes the column a "where ... is not NULL" names as the query's filter;
    // false after failWith() when the sheet has no such column.
    bool chooseFilter(Query& query, const std::optional<std::string>& notNullColumn);
    QueryHandle keep(Query query);
    // The .xls workbook with all its cells, read now if not yet.
    Workbook& wholeBook() const;
    QueryHandle openXlsRowsQuery(const SelectStatement& statement);
    Status forEachXlsRow(std::size_t index, const std::function<bool()>& visit);
    std::vector<Header> headersOf(const Sheet& sheet) const;
    // Where each column of an insert goes; the last statement's column list
    // is remembered, as an export repeats the same list for every row.
    bool mapColumns(std::size_t sheet, std::string_view columnList,
                    std::span<const std::string_view> columns);
    // Finds the sheet an insert names, with room for one more row, and maps
    // its columns; the row the insert fills, or nothing after failWith().
    std::optional<std::uint32_t> prepareInsert(std::string_view sheetName,
                                               std::string_view columnList,
                                               std::span<const std::string_view> columns);
    // Adds the row of `values` (quoted as in a statement when `quoted`) at
    // `row` of the mapped sheet.
    bool insertRow(std::uint32_t row, std::span<const std::string_view> columns,
                   std::span<const std::string_view> values, bool quoted);
    // Keeps a row below the mapped sheet's cells among its appended rows;
    // false when it belongs in the sheet itself.
    bool appendBelow(std::uint32_t row, std::span<const Cell> cells);
    // Puts the appended rows into their sheets, for what reads the cells.
    void foldAppendedRows() const;
    bool failWith(std::string reason);
    QueryHandle openXlsxQuery(const SelectStatement& statement);
    Status forEachXlsxRow(std::size_t index, const std::function<bool()>& visit);

    // An .xls opened and not yet read whole: its rows, read from the file a
    // window at a time (or from the stream, when it is small).
    struct XlsRows {
        std::string stream; // when not read through its sectors
        std::optional<WorkbookRows> rows;
    };
    static Result<std::unique_ptr<XlsRows>> loadRows(const std::string& path);

    // Read whole on the first need of it, also from the const calls.
    mutable std::optional<Workbook> book_;
    mutable std::unique_ptr<XlsRows> xls_;
    bool walking_ = false; // through the rows of xls_, which then stays
    std::optional<XlsxWorkbook> xlsx_;
    WorkbookFormat format_ = WorkbookFormat::Unknown;
    bool fileUnreadable_ = false;
    std::string path_;
    bool modified_ = false;
    mutable std::vector<Query> queries_;
    std::string lastError_;
    InsertParts insert_; // reused from statement to statement
    std::size_t mappedSheet_ = 0;
    std::string mappedList_;
    std::vector<std::uint16_t> mappedColumns_;
    std::string columnList_; // of appendRow(), reused from row to row
    std::string unquoted_;
    std::vector<Cell> rowCells_; // reused from insert to insert
    // Rows inserted below each sheet's cells, written when the connection
    // closes: an export holds its rows in them, a few bytes a cell.
    mutable std::vector<AppendedRows> appended_;
};

} // namespace chengxi::xls
