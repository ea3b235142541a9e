#pragma once

#include "xls/biff_stream.h"
#include "xls/byte_io.h"
#include "xls/result.h"
#include "xls/workbook.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// Reading Excel 97-2003 workbooks (BIFF8 in a compound file) written by
// Excel, WPS, LibreOffice, xlwt, SheetJS or this program.
namespace chengxi::xls {

// Reads the bytes of a whole .xls file. A file that is not a workbook, is
// truncated or damaged fails with a reason; nothing in it can make the
// reader crash, loop or allocate more than a small multiple of its size.
Result<Workbook> parseWorkbookFile(Bytes file);

// The `Workbook` stream of a compound file.
Result<std::string> extractWorkbookStream(Bytes file);

// Reads the BIFF8 `Workbook` stream itself.
Result<Workbook> parseWorkbookStream(Bytes stream);

// A workbook stream read for its rows one at a time: the globals and each
// worksheet's name and column widths are read, every sheet checked as
// parseWorkbookStream checks it, but no cell is kept; the rows are read
// from the stream again when visited, so a sheet of any size costs the
// memory of one row.
class WorkbookRows {
public:
    // A row's number and its cells by column; returns false to stop.
    using RowVisitor = std::function<bool(std::uint16_t row, std::span<const Cell> cells)>;
    struct SheetPlace {
        std::string name;
        std::uint32_t offset = 0;
        std::uint32_t rowCount = 0;  // as Sheet::rowCount() of the sheet read whole
        bool inRowOrder = true;      // no cell record goes back to an earlier row
        std::uint32_t firstText = 0; // the pool number of its first text of its own
    };

    // `stream` must outlive the object.
    static Result<WorkbookRows> parse(Bytes stream);
    // The stream read from its file through `feed`, a window at a time.
    static Result<WorkbookRows> parse(std::unique_ptr<StreamFeed> feed);

    // The globals, the string pool and the worksheets, all without cells.
    Workbook& book() { return book_; }
    const Workbook& book() const { return book_; }
    const SheetPlace& place(std::size_t sheet) const { return places_[sheet]; }

    // Visits the rows of worksheet `sheet` that hold a cell, in order, the
    // cells as a whole reading holds them (of two at one place the later).
    // Only for a sheet in row order.
    Status forEachRow(std::size_t sheet, const RowVisitor& visit) const;

    // The workbook with all its cells, read from the stream again.
    Result<Workbook> readWhole() const;

private:
    WorkbookRows() = default;
    static Result<WorkbookRows> parse(Bytes stream, std::unique_ptr<StreamFeed> feed);

    Bytes stream_;
    std::unique_ptr<StreamFeed> feed_;
    Workbook book_;
    std::vector<SheetPlace> places_;
    std::uint32_t sharedStrings_ = 0;
};

// The first `rows` rows of the first worksheet, with the formats and only
// the shared strings they use; the records after them are not parsed.
struct FirstRows {
    Workbook book;
    std::size_t recordsParsed = 0; // what the reading cost, for the tests
};
Result<FirstRows> parseFirstRows(Bytes stream, std::uint32_t rows);

} // namespace chengxi::xls
