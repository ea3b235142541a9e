#pragma once

#include "xls/appended_rows.h"
#include "xls/result.h"
#include "xls/workbook.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Writing Excel 97-2003 workbooks: BIFF8 records inside an OLE2 compound
// file, as Excel, LibreOffice and xlrd read them. The bytes depend only on
// the workbook's content.
namespace chengxi::xls {

// The most characters (UTF-16 units) one cell can hold.
inline constexpr std::size_t kMaxCellCharacters = 32767;
// The longest sheet name.
inline constexpr std::size_t kMaxSheetNameCharacters = 31;

// The BIFF8 `Workbook` stream.
Result<std::string> buildWorkbookStream(const Workbook& workbook);

// The Workbook stream of a workbook too large to hold whole, handed on in
// pieces: start() lays out the globals and the shared strings and lets the
// texts go, writeTo() makes the sheets' records a block of rows at a time.
// The bytes are those of buildWorkbookStream().
class WorkbookStreamWriter {
public:
    // Takes the workbook and, for its sheets in order, the rows appended
    // below their cells (an entry may be empty, the list short).
    static Result<WorkbookStreamWriter> start(Workbook book, std::vector<AppendedRows> appended);
    WorkbookStreamWriter(WorkbookStreamWriter&&) noexcept;
    WorkbookStreamWriter& operator=(WorkbookStreamWriter&&) = delete;
    ~WorkbookStreamWriter();

    std::size_t size() const;
    // Hands the stream to `write` in order, once; false as soon as `write` is.
    bool writeTo(const std::function<bool(std::string_view)>& write);

private:
    struct Parts;
    explicit WorkbookStreamWriter(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

// A complete .xls file: the Workbook stream with the SummaryInformation and
// DocumentSummaryInformation property streams.
Result<std::string> buildWorkbookFile(const Workbook& workbook);

} // namespace chengxi::xls
