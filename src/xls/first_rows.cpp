#include "xls/first_rows.h"

#include "xls/biff_records.h"
#include "xls/biff_stream.h"
#include "xls/compound_file.h"
#include "xls/compound_file_image.h"
#include "xls/file_io.h"
#include "xls/workbook_file.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>

namespace chengxi::xls {
namespace {

// What is read of the workbook stream before its sheets' positions are known.
constexpr std::size_t kGlobalsGuess = 64 * 1024;
// How far past the last sheet's start the first rows are looked for.
constexpr std::size_t kFirstRowsReach = 256 * 1024;

// How much of the workbook stream holds the globals and the first rows of
// every sheet: its sheets' positions, read from the BOUNDSHEET records at
// its start, and some way beyond the last. Nothing when they are not found
// there.
std::optional<std::size_t> firstRowsReach(Bytes streamStart, std::size_t streamSize) {
    RecordCursor cursor(streamStart, 0);
    Record item;
    std::optional<std::size_t> lastSheet;
    while (cursor.next(item) && item.id != record::kSst && item.id != record::kEof) {
        if (item.id == record::kBoundSheet && item.data.size() >= 4) {
            lastSheet = std::max<std::size_t>(lastSheet.value_or(0), readU32(item.data.data()));
        }
    }
    if (!lastSheet) {
        return std::nullopt;
    }
    return std::min(streamSize, *lastSheet + kFirstRowsReach);
}

// The first rows read from the parts of the file they need; nothing when
// that reading does not settle it (a damaged file, an unusual layout), for
// the whole file to be read instead.
std::optional<FirstRows> readFirstRowsInPart(std::string_view path, std::uint32_t rows) {
    std::optional<PartialImage> image = readCompoundSkeleton(pathFromUtf8(path));
    if (!image) {
        return std::nullopt;
    }
    const auto compound = CompoundFile::parse(image->bytes());
    const std::optional<Bytes> stream =
        compound ? compound->streamInPlace("Workbook") : std::nullopt;
    if (!stream) {
        return std::nullopt;
    }
    const auto streamOffset = static_cast<std::size_t>(stream->data() - image->bytes().data());
    const std::size_t guess = std::min(stream->size(), kGlobalsGuess);
    if (!image->fill(streamOffset, guess)) {
        return std::nullopt;
    }
    const std::optional<std::size_t> reach = firstRowsReach(stream->first(guess), stream->size());
    if (!reach || !image->fill(streamOffset, *reach)) {
        return std::nullopt;
    }
    auto first = parseFirstRows(stream->first(*reach), rows);
    if (!first || first->book.sheets.empty()) {
        return std::nullopt;
    }
    return std::move(*first);
}

} // namespace

Result<FirstRows> readFirstRows(std::string_view path, std::uint32_t rows) {
    if (std::optional<FirstRows> inPart = readFirstRowsInPart(path, rows)) {
        return std::move(*inPart);
    }
    const auto bytes = readFileBytes(pathFromUtf8(path), kMaxWorkbookFileSize);
    if (!bytes) {
        return fail(bytes.error());
    }
    const Bytes file = asBytes(*bytes);
    // A large workbook stream usually stands in one piece: read where it
    // stands, it is not copied for the few records the rows need.
    if (const auto compound = CompoundFile::parse(file); compound) {
        if (const std::optional<Bytes> stream = compound->streamInPlace("Workbook")) {
            return parseFirstRows(*stream, rows);
        }
    }
    auto stream = extractWorkbookStream(file);
    if (!stream) {
        return fail(stream.error());
    }
    return parseFirstRows(asBytes(*stream), rows);
}

} // namespace chengxi::xls
