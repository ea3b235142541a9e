#include "xls/workbook_reader.h"

#include "xls/biff_records.h"
#include "xls/biff_stream.h"
#include "xls/compound_file.h"

#include <algorithm>
#include <optional>

namespace chengxi::xls {
namespace {

namespace rec = record;

struct SheetEntry {
    std::string name;
    std::uint32_t offset = 0;
    std::uint8_t type = 0;
};

double rkValue(std::uint32_t rk) {
    double value;
    if ((rk & 0x02) != 0) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) != 0 ? value / 100.0 : value;
}

// The reason a stream that ends too early gives.
Failure truncatedStream() {
    return fail("工作簿已损坏：数据不完整");
}

// The row of a cell record, or nothing for the other records.
std::optional<std::uint16_t> cellRow(const Record& record) {
    switch (record.id) {
    case rec::kLabelSst:
    case rec::kNumber:
    case rec::kRk:
    case rec::kMulRk:
    case rec::kBlank:
    case rec::kMulBlank:
    case rec::kBoolErr:
    case rec::kLabel:
    case rec::kRString:
    case rec::kFormula:
        if (record.data.size() >= 2) {
            return readU16(record.data.data());
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// Where the cells of a sheet go as its records are read.
class CellSink {
public:
    virtual ~CellSink() = default;
    virtual void add(const Cell& cell) = 0;
    // The sheet's EOF record is reached.
    virtual void finish() {}
    // False stops the reading, as when a visitor has had the rows it wants.
    virtual bool goOn() const { return true; }
};

// Every cell, for a sheet read whole.
struct CollectedCells final : CellSink {
    std::vector<Cell> cells;
    void add(const Cell& cell) override { cells.push_back(cell); }
};

// No cell kept: what a first pass needs to know of the sheet's rows.
class RowOutline final : public CellSink {
public:
    void add(const Cell& cell) override {
        inRowOrder_ = inRowOrder_ && cell.row >= lastRow_;
        lastRow_ = cell.row;
        if (cell.holdsValue()) {
            rowCount_ = std::max<std::uint32_t>(rowCount_, cell.row + 1u);
        }
    }
    std::uint32_t rowCount() const { return rowCount_; }
    bool inRowOrder() const { return inRowOrder_; }

private:
    std::uint16_t lastRow_ = 0;
    std::uint32_t rowCount_ = 0;
    bool inRowOrder_ = true;
};

// Gathers the cells of one row at a time and hands each row on once the
// next begins. The records must come row by row (RowOutline tells).
class RowByRow final : public CellSink {
public:
    explicit RowByRow(const WorkbookRows::RowVisitor& visit) : visit_(visit) {}
    void add(const Cell& cell) override {
        if (!row_.empty() && cell.row != row_.front().row) {
            handOn();
        }
        row_.push_back(cell);
    }
    void finish() override { handOn(); }
    bool goOn() const override { return !stopped_; }

private:
    void handOn() {
        if (row_.empty() || stopped_) {
            return;
        }
        // By column; of two cells at one column the later wins, as in a
        // sheet read whole. Writers give a row's cells in that order already.
        const auto byColumn = [](const Cell& a, const Cell& b) { return a.column < b.column; };
        const auto atOrBefore = [](const Cell& a, const Cell& b) { return a.column >= b.column; };
        if (std::adjacent_find(row_.begin(), row_.end(), atOrBefore) != row_.end()) {
            std::stable_sort(row_.begin(), row_.end(), byColumn);
            auto kept = row_.begin();
            for (auto cell = row_.begin(); cell != row_.end(); ++cell) {
                if (std::next(cell) == row_.end() || std::next(cell)->column != cell->column) {
                    *kept++ = *cell;
                }
            }
            row_.erase(kept, row_.end());
        }
        stopped_ = !visit_(row_.front().row, row_);
        row_.clear();
    }

    const WorkbookRows::RowVisitor& visit_;
    std::vector<Cell> row_;
    bool stopped_ = false;
};

class Parser {
public:
    // With `rowLimit`, only the rows before it of the first worksheet are
    // read, with the formats and the shared strings they use; the rest of
    // the stream is left alone.
    explicit Parser(Bytes stream, std::optional<std::uint32_t> rowLimit = std::nullopt)
        : stream_(stream), rowLimit_(rowLimit) {}
    // The stream read from its file a window at a time.
    explicit Parser(StreamFeed& feed) : feed_(&feed) {}

    Result<Workbook> run();
    // The globals and each worksheet's name and column widths, its cells
    // read for what `places` says of them but not kept.
    Result<Workbook> runOutline(std::vector<WorkbookRows::SheetPlace>& places,
                                std::uint32_t& sharedStrings);
    // The cells of one sheet of an outline read before, into `sink`; its
    // texts of its own are taken as numbered by that reading.
    Status visitSheet(const WorkbookRows::SheetPlace& place, std::uint32_t sharedStrings,
                      CellSink& sink);
    std::size_t recordsParsed() const { return records_; }

private:
    std::size_t streamSize() const { return feed_ != nullptr ? feed_->size() : stream_.size(); }
    RecordCursor cursorAt(std::size_t offset) const {
        return feed_ != nullptr ? RecordCursor(*feed_, offset) : RecordCursor(stream_, offset);
    }
    Status parseGlobals();
    Status parseSharedStrings(const Record& first, RecordCursor& cursor,
                              std::size_t wanted = SIZE_MAX);
    Result<Workbook> runFirstRows();
    bool pastRowLimit(const Record& record) const;
    std::optional<std::size_t> lastSharedStringUsed(std::size_t sheetOffset);
    void parseFont(Bytes data);
    void parseFormat(Bytes data);
    void parseXf(Bytes data);
    void parseBoundSheet(Bytes data);
    Status parseSheet(const SheetEntry& entry, std::size_t end);
    // The records of one sheet: its cells go to `sink`, its column widths
    // to `sheet`; `worksheet` false for a chart or macro sheet, left alone.
    Status readSheet(const SheetEntry& entry, Sheet& sheet, CellSink& sink, bool& worksheet);
    Status readCellRecord(const Record& record, RecordCursor& cursor, CellSink& sink,
                          std::optional<Cell>& pendingText);
    static void readColumnRecord(const Record& record, Sheet& sheet);
    std::uint32_t addString(std::span<const Bytes> segments, bool shortLength, bool& ok);

    Bytes stream_;
    StreamFeed* feed_ = nullptr;
    Workbook book_;
    std::vector<SheetEntry> entries_;
    std::uint32_t sharedStrings_ = 0;
    std::optional<std::uint32_t> rowLimit_;
    std::optional<std::size_t> sharedStringsAt_; // the SST record, when deferred
    std::size_t records_ = 0;
    std::vector<Bytes> segments_; // of a text that goes on in CONTINUE records
    // When the texts of the sheet's own records were numbered by an earlier
    // reading: the number of the next one.
    std::optional<std::uint32_t> replayedText_;
};

bool Parser::pastRowLimit(const Record& record) const {
    if (!rowLimit_) {
        return false;
    }
    const auto row = cellRow(record);
    return row && *row >= *rowLimit_;
}

// The highest shared string the first rows refer to, so that the table is
// read only that far (writers put the strings in the order they first meet
// them, so the header's come first).
std::optional<std::size_t> Parser::lastSharedStringUsed(std::size_t sheetOffset) {
    RecordCursor cursor(stream_, sheetOffset);
    Record record;
    std::optional<std::size_t> last;
    int depth = 0;
    while (cursor.next(record)) {
        ++records_;
        if (record.id == rec::kBof) {
            ++depth;
        } else if (record.id == rec::kEof && --depth <= 0) {
            break;
        }
        if (depth != 1) {
            continue;
        }
        if (pastRowLimit(record)) {
            break;
        }
        if (record.id == rec::kLabelSst && record.data.size() >= 10) {
            const std::size_t index = readU32(record.data.data() + 6);
            last = std::max(last.value_or(0), index);
        }
    }
    return last;
}

Result<Workbook> Parser::runFirstRows() {
    for (const SheetEntry& entry : entries_) {
        if (entry.type != 0 || entry.offset >= stream_.size()) {
            continue;
        }
        const std::optional<std::size_t> last = lastSharedStringUsed(entry.offset);
        if (last && sharedStringsAt_) {
            RecordCursor cursor(stream_, *sharedStringsAt_);
            Record first;
            cursor.next(first);
            if (Status strings = parseSharedStrings(first, cursor, *last + 1); !strings) {
                return fail(strings.error());
            }
        }
        if (Status sheet = parseSheet(entry, stream_.size()); !sheet) {
            return fail(sheet.error());
        }
        if (!book_.sheets.empty()) {
            break;
        }
    }
    return std::move(book_);
}

Result<Workbook> Parser::run() {
    if (Status globals = parseGlobals(); !globals) {
        return fail(globals.error());
    }
    book_.refreshDateStyles();
    if (rowLimit_) {
        return runFirstRows();
    }
    std::vector<std::uint32_t> offsets;
    for (const SheetEntry& entry : entries_) {
        offsets.push_back(entry.offset);
    }
    std::sort(offsets.begin(), offsets.end());
    for (const SheetEntry& entry : entries_) {
        // Only worksheets hold cells; charts and macro sheets are left out.
        if (entry.type != 0) {
            continue;
        }
        // The sheet runs to the next sheet or the end of the stream; another
        // sheet's position may lie beyond the stream, and must not make this
        // one look larger than the stream when cells are reserved for it.
        const auto next = std::upper_bound(offsets.begin(), offsets.end(), entry.offset);
        const std::size_t end =
            next == offsets.end() ? streamSize() : std::min<std::size_t>(*next, streamSize());
        if (Status sheet = parseSheet(entry, end); !sheet) {
            return fail(sheet.error());
        }
    }
    return std::move(book_);
}

Result<Workbook> Parser::runOutline(std::vector<WorkbookRows::SheetPlace>& places,
                                    std::uint32_t& sharedStrings) {
    if (Status globals = parseGlobals(); !globals) {
        return fail(globals.error());
    }
    book_.refreshDateStyles();
    for (const SheetEntry& entry : entries_) {
        if (entry.type != 0) {
            continue;
        }
        Sheet sheet;
        RowOutline outline;
        bool worksheet = false;
        const auto firstText = static_cast<std::uint32_t>(book_.strings.size());
        if (Status read = readSheet(entry, sheet, outline, worksheet); !read) {
            return fail(read.error());
        }
        if (worksheet) {
            book_.sheets.push_back(std::move(sheet));
            places.push_back(
                {entry.name, entry.offset, outline.rowCount(), outline.inRowOrder(), firstText});
        }
    }
    sharedStrings = sharedStrings_;
    return std::move(book_);
}

Status Parser::visitSheet(const WorkbookRows::SheetPlace& place, std::uint32_t sharedStrings,
                          CellSink& sink) {
    sharedStrings_ = sharedStrings;
    replayedText_ = place.firstText;
    Sheet sheet;
    bool worksheet = false;
    return readSheet({place.name, place.offset, 0}, sheet, sink, worksheet);
}

Status Parser::parseGlobals() {
    RecordCursor cursor = cursorAt(0);
    Record record;
    if (!cursor.next(record)) {
        return truncatedStream();
    }
    if (record.id == rec::kBofBiff2 || record.id == rec::kBofBiff3 || record.id == rec::kBofBiff4) {
        return fail("工作簿是 Excel 4.0 或更早的格式，只能读取 Excel 97-2003 工作簿");
    }
    if (record.id != rec::kBof || record.data.size() < 4) {
        return fail("工作簿已损坏：工作簿流不以 BOF 记录开始");
    }
    const std::uint16_t version = readU16(record.data.data());
    if (version != rec::kBiff8Version) {
        return fail("工作簿是 Excel 5.0/95 或其他旧格式，只能读取 Excel 97-2003 工作簿");
    }
    while (cursor.next(record)) {
        ++records_;
        const Bytes data = record.data;
        switch (record.id) {
        case rec::kEof:
            return {};
        case rec::kFilePass:
            return fail("工作簿设有打开密码，无法读取");
        case rec::kDateMode:
            book_.dateMode1904 = data.size() >= 2 && readU16(data.data()) != 0;
            break;
        case rec::kFont:
            parseFont(data);
            break;
        case rec::kFormat:
            parseFormat(data);
            break;
        case rec::kXf:
            parseXf(data);
            break;
        case rec::kBoundSheet:
            parseBoundSheet(data);
            break;
        case rec::kSst:
            if (rowLimit_) {
                // Read later, and only as far as the first rows need.
                sharedStringsAt_ = record.offset;
                std::vector<Bytes> continues;
                cursor.takeContinues(continues);
                break;
            }
            if (Status strings = parseSharedStrings(record, cursor); !strings) {
                return strings;
            }
            break;
        default:
            break;
        }
    }
    return truncatedStream();
}

Status Parser::parseSharedStrings(const Record& first, RecordCursor& cursor, std::size_t wanted) {
    std::vector<Bytes> segments{first.data};
    cursor.takeContinues(segments);
    SegmentReader reader(segments);
    std::uint32_t total = 0;
    std::uint32_t unique = 0;
    if (!reader.u32(total) || !reader.u32(unique)) {
        return fail("工作簿已损坏：共享字符串表不完整");
    }
    // Every string takes at least three bytes, which bounds the count a
    // damaged header can claim.
    const std::size_t bytes = reader.remaining();
    const std::size_t count = std::min<std::size_t>({unique, bytes / 3, wanted});
    book_.strings.reserve(count, wanted >= unique ? bytes + bytes / 2 : count * 16);
    std::string& arena = book_.strings.buffer();
    for (std::size_t i = 0; i < std::min<std::size_t>(unique, wanted); ++i) {
        std::uint16_t length = 0;
        std::uint8_t options = 0;
        if (!reader.u16(length) || !reader.u8(options)) {
            // Fewer strings than announced: keep those read; a cell that
            // refers to a missing one fails later.
            break;
        }
        if ((options & 0xF2) != 0) {
            return fail("工作簿已损坏：共享字符串表有无效的标志");
        }
        std::uint16_t runs = 0;
        std::uint32_t extension = 0;
        if (((options & 0x08) != 0 && !reader.u16(runs)) ||
            ((options & 0x04) != 0 && !reader.u32(extension)) ||
            !reader.chars(length, (options & 0x01) != 0, arena) || !reader.skip(4u * runs) ||
            !reader.skip(extension)) {
            return fail("工作簿已损坏：共享字符串表不完整");
        }
        book_.strings.commit();
    }
    sharedStrings_ = static_cast<std::uint32_t>(book_.strings.size());
    return {};
}

void Parser::parseFont(Bytes data) {
    if (book_.fonts.size() == 4) {
        Font placeholder;
        placeholder.placeholder = true;
        book_.fonts.push_back(placeholder);
    }
    Font font;
    ByteCursor cursor(data);
    font.height = cursor.u16();
    const std::uint16_t flags = cursor.u16();
    font.italic = (flags & 0x02) != 0;
    font.strikeout = (flags & 0x08) != 0;
    font.colour = cursor.u16();
    font.weight = cursor.u16();
    font.escapement = cursor.u16();
    font.underline = cursor.u8();
    font.family = cursor.u8();
    font.charset = cursor.u8();
    cursor.skip(1);
    if (cursor.failed()) {
        font = Font{};
    } else {
        const Bytes rest = data.subspan(cursor.position());
        SegmentReader reader(std::span<const Bytes>(&rest, 1));
        std::string name;
        if (readUnicodeString(reader, true, name)) {
            font.name = std::move(name);
        }
    }
    book_.fonts.push_back(std::move(font));
}

void Parser::parseFormat(Bytes data) {
    if (data.size() < 2) {
        return;
    }
    NumberFormat format;
    format.id = readU16(data.data());
    const Bytes rest = data.subspan(2);
    SegmentReader reader(std::span<const Bytes>(&rest, 1));
    if (readUnicodeString(reader, false, format.code)) {
        book_.numberFormats.push_back(std::move(format));
    }
}

void Parser::parseXf(Bytes data) {
    CellStyle style;
    if (data.size() >= 6) {
        style.font = readU16(data.data());
        style.numberFormat = readU16(data.data() + 2);
        style.isStyle = (readU16(data.data() + 4) & 0x0004) != 0;
    }
    book_.styles.push_back(style);
}

void Parser::parseBoundSheet(Bytes data) {
    if (data.size() < 6) {
        return;
    }
    SheetEntry entry;
    entry.offset = readU32(data.data());
    entry.type = data[5];
    const Bytes rest = data.subspan(6);
    SegmentReader reader(std::span<const Bytes>(&rest, 1));
    if (!readUnicodeString(reader, true, entry.name)) {
        return;
    }
    entries_.push_back(std::move(entry));
}

std::uint32_t Parser::addString(std::span<const Bytes> segments, bool shortLength, bool& ok) {
    if (replayedText_) {
        ok = true;
        return (*replayedText_)++;
    }
    SegmentReader reader(segments);
    std::string& arena = book_.strings.buffer();
    const std::size_t mark = arena.size();
    ok = readUnicodeString(reader, shortLength, arena);
    if (!ok) {
        arena.resize(mark);
        return 0;
    }
    return book_.strings.commit();
}

// The fixed part of each cell record: row, column, cell format.
constexpr std::size_t kCellHeader = 6;
// The least data a record of each kind carries to be read at all.
constexpr std::size_t kLabelSstSize = kCellHeader + 4;
constexpr std::size_t kNumberSize = kCellHeader + 8;
constexpr std::size_t kRkSize = kCellHeader + 4;
constexpr std::size_t kMulRkLeast = kCellHeader + 6; // one item and the last column
constexpr std::size_t kMulRkItem = 6;                // cell format and RK value
constexpr std::size_t kBlankSize = kCellHeader;
constexpr std::size_t kMulBlankLeast = kCellHeader + 2;
constexpr std::size_t kBoolErrSize = kCellHeader + 2;
constexpr std::size_t kLabelLeast = kCellHeader + 2;
constexpr std::size_t kFormulaLeast = kCellHeader + 14; // result, flags, cache
constexpr std::size_t kColInfoSize = 10;
// A formula result whose last two bytes are these is not a number; its
// first byte says what it is.
constexpr std::uint16_t kFormulaNotNumber = 0xFFFF;
constexpr std::uint8_t kFormulaText = 0;
constexpr std::uint8_t kFormulaBoolean = 1;
constexpr std::uint8_t kFormulaError = 2;
constexpr std::uint16_t kColumnHidden = 0x0001;

std::uint16_t cellColumn(const std::uint8_t* data) {
    return readU16(data + 2);
}
bool inColumnRange(std::uint16_t column) {
    return column <= kLastColumnIndex;
}

// Only the formula's own shared-formula, array or table record may stand
// between it and the STRING record holding its text result.
bool keepsPendingText(std::uint16_t id) {
    return id == rec::kString || id == rec::kContinue || id == rec::kShrFmla || id == rec::kArray ||
           id == rec::kTable;
}

Status Parser::parseSheet(const SheetEntry& entry, std::size_t end) {
    Sheet sheet;
    CollectedCells cells;
    const std::size_t span = end > entry.offset ? end - entry.offset : 0;
    cells.cells.reserve(rowLimit_
                            ? std::size_t{64}
                            : std::min<std::size_t>(span / 14 + 16, std::size_t{65536} * 256));
    bool worksheet = false;
    if (Status read = readSheet(entry, sheet, cells, worksheet); !read || !worksheet) {
        return read;
    }
    sheet.assignCells(std::move(cells.cells));
    book_.sheets.push_back(std::move(sheet));
    return {};
}

Status Parser::readSheet(const SheetEntry& entry, Sheet& sheet, CellSink& sink, bool& worksheet) {
    if (entry.offset >= streamSize()) {
        return fail("工作簿已损坏：工作表“" + entry.name + "”的位置超出文件");
    }
    RecordCursor cursor = cursorAt(entry.offset);
    Record record;
    if (!cursor.next(record) || record.id != rec::kBof || record.data.size() < 4) {
        return fail("工作簿已损坏：工作表“" + entry.name + "”不以 BOF 记录开始");
    }
    worksheet = readU16(record.data.data() + 2) == rec::kBofWorksheet;
    if (!worksheet) {
        return {};
    }
    sheet.name = entry.name;
    std::optional<Cell> pendingText;
    int chartDepth = 0;
    while (sink.goOn() && cursor.next(record)) {
        ++records_;
        if (chartDepth == 0 && pastRowLimit(record)) {
            // Writers keep a sheet's cells in row order: the rows wanted are all read.
            record.id = rec::kEof;
        }
        if (chartDepth > 0) {
            // Inside an embedded chart's own BOF ... EOF block.
            chartDepth += record.id == rec::kBof ? 1 : record.id == rec::kEof ? -1 : 0;
            continue;
        }
        if (!keepsPendingText(record.id)) {
            pendingText.reset();
        }
        if (record.id == rec::kBof) {
            ++chartDepth;
        } else if (record.id == rec::kEof) {
            sink.finish();
            return {};
        } else if (Status cell = readCellRecord(record, cursor, sink, pendingText); !cell) {
            return cell;
        } else if (record.id == rec::kColInfo || record.id == rec::kDefColWidth) {
            readColumnRecord(record, sheet);
        }
    }
    if (!sink.goOn()) {
        return {};
    }
    return fail("工作簿已损坏：工作表“" + entry.name + "”不完整");
}

void Parser::readColumnRecord(const Record& record, Sheet& sheet) {
    const std::uint8_t* p = record.data.data();
    const std::size_t size = record.data.size();
    if (record.id == rec::kColInfo && size >= kColInfoSize) {
        ColumnWidth width;
        width.first = readU16(p);
        width.last = readU16(p + 2);
        width.width = readU16(p + 4);
        width.style = readU16(p + 6);
        width.hidden = (readU16(p + 8) & kColumnHidden) != 0;
        if (width.first <= width.last && width.first <= kLastColumnIndex) {
            width.last = std::min<std::uint16_t>(width.last, kLastColumnIndex);
            sheet.columnWidths.push_back(width);
        }
    } else if (record.id == rec::kDefColWidth && size >= 2) {
        sheet.defaultColumnWidth = readU16(p);
    }
}

Status Parser::readCellRecord(const Record& record, RecordCursor& cursor, CellSink& sink,
                              std::optional<Cell>& pendingText) {
    const std::uint8_t* p = record.data.data();
    const std::size_t size = record.data.size();
    // Row, column and cell format of the single-cell records.
    const auto row = [&] { return readU16(p); };
    const auto column = [&] { return cellColumn(p); };
    const auto style = [&] { return readU16(p + 4); };
    switch (record.id) {
    case rec::kLabelSst:
        if (size >= kLabelSstSize && inColumnRange(column())) {
            const std::uint32_t index = readU32(p + kCellHeader);
            if (index >= sharedStrings_) {
                return fail("工作簿已损坏：单元格引用了不存在的共享字符串");
            }
            sink.add(Cell::ofText(row(), column(), style(), index));
        }
        break;
    case rec::kNumber:
        if (size >= kNumberSize && inColumnRange(column())) {
            sink.add(Cell::ofNumber(row(), column(), style(), readF64(p + kCellHeader)));
        }
        break;
    case rec::kRk:
        if (size >= kRkSize && inColumnRange(column())) {
            sink.add(Cell::ofNumber(row(), column(), style(), rkValue(readU32(p + kCellHeader))));
        }
        break;
    case rec::kMulRk:
        if (size >= kMulRkLeast) {
            // Row, first column, the items, then the last column.
            const std::size_t count = (size - kCellHeader) / kMulRkItem;
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t col = std::size_t{column()} + i;
                if (col <= kLastColumnIndex) {
                    const std::uint8_t* item = p + 4 + kMulRkItem * i;
                    sink.add(Cell::ofNumber(row(), static_cast<std::uint16_t>(col), readU16(item),
                                            rkValue(readU32(item + 2))));
                }
            }
        }
        break;
    case rec::kBlank:
        if (size >= kBlankSize && inColumnRange(column())) {
            sink.add(Cell::blank(row(), column(), style()));
        }
        break;
    case rec::kMulBlank:
        if (size >= kMulBlankLeast) {
            // Row, first column, a cell format per cell, then the last column.
            const std::size_t count = (size - kCellHeader) / 2;
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t col = std::size_t{column()} + i;
                if (col <= kLastColumnIndex) {
                    sink.add(Cell::blank(row(), static_cast<std::uint16_t>(col),
                                         readU16(p + 4 + 2 * i)));
                }
            }
        }
        break;
    case rec::kBoolErr:
        if (size >= kBoolErrSize && inColumnRange(column())) {
            const std::uint8_t value = p[kCellHeader];
            const bool isError = p[kCellHeader + 1] != 0;
            sink.add(isError ? Cell::ofError(row(), column(), style(), value)
                             : Cell::ofBoolean(row(), column(), style(), value != 0));
        }
        break;
    case rec::kLabel:
    case rec::kRString:
        if (size >= kLabelLeast && inColumnRange(column())) {
            // Taken before the CONTINUE records, which may move the record.
            Cell cell = Cell::ofText(row(), column(), style(), 0);
            segments_.assign(1, record.data.subspan(kCellHeader));
            cursor.takeContinues(segments_);
            bool ok = false;
            cell.value.text = addString(segments_, false, ok);
            if (!ok) {
                return fail("工作簿已损坏：文本单元格不完整");
            }
            sink.add(cell);
        }
        break;
    case rec::kFormula:
        if (size >= kFormulaLeast && inColumnRange(column())) {
            const std::uint8_t* result = p + kCellHeader;
            if (readU16(result + 6) != kFormulaNotNumber) {
                sink.add(Cell::ofNumber(row(), column(), style(), readF64(result)));
            } else if (result[0] == kFormulaText) {
                pendingText = Cell::ofText(row(), column(), style(), 0);
            } else if (result[0] == kFormulaBoolean) {
                sink.add(Cell::ofBoolean(row(), column(), style(), result[2] != 0));
            } else if (result[0] == kFormulaError) {
                sink.add(Cell::ofError(row(), column(), style(), result[2]));
            } else {
                // An empty text result, or no result stored at all.
                sink.add(Cell::blank(row(), column(), style()));
            }
        }
        break;
    case rec::kString:
        if (pendingText) {
            segments_.assign(1, record.data);
            cursor.takeContinues(segments_);
            bool ok = false;
            const std::uint32_t text = addString(segments_, false, ok);
            if (!ok) {
                return fail("工作簿已损坏：公式的文本结果不完整");
            }
            Cell cell = *pendingText;
            cell.value.text = text;
            sink.add(cell);
            pendingText.reset();
        }
        break;
    default:
        break;
    }
    return {};
}

} // namespace

Result<WorkbookRows> WorkbookRows::parse(Bytes stream) {
    return parse(stream, nullptr);
}

Result<WorkbookRows> WorkbookRows::parse(std::unique_ptr<StreamFeed> feed) {
    return parse(Bytes(), std::move(feed));
}

Result<WorkbookRows> WorkbookRows::parse(Bytes stream, std::unique_ptr<StreamFeed> feed) {
    WorkbookRows rows;
    rows.stream_ = stream;
    rows.feed_ = std::move(feed);
    Parser parser = rows.feed_ ? Parser(*rows.feed_) : Parser(stream);
    auto book = parser.runOutline(rows.places_, rows.sharedStrings_);
    if (!book) {
        return fail(book.error());
    }
    rows.book_ = std::move(*book);
    return rows;
}

Status WorkbookRows::forEachRow(std::size_t sheet, const RowVisitor& visit) const {
    RowByRow rows(visit);
    Parser parser = feed_ ? Parser(*feed_) : Parser(stream_);
    return parser.visitSheet(places_[sheet], sharedStrings_, rows);
}

Result<Workbook> WorkbookRows::readWhole() const {
    return feed_ ? Parser(*feed_).run() : Parser(stream_).run();
}

Result<Workbook> parseWorkbookStream(Bytes stream) {
    return Parser(stream).run();
}

Result<FirstRows> parseFirstRows(Bytes stream, std::uint32_t rows) {
    Parser parser(stream, rows);
    auto book = parser.run();
    if (!book) {
        return fail(book.error());
    }
    return FirstRows{std::move(*book), parser.recordsParsed()};
}

Result<std::string> extractWorkbookStream(Bytes file) {
    auto compound = CompoundFile::parse(file);
    if (!compound) {
        return fail(compound.error());
    }
    if (!compound->hasStream("Workbook")) {
        if (compound->hasStream("Book")) {
            return fail("工作簿是 Excel 5.0/95 格式，只能读取 Excel 97-2003 工作簿");
        }
        return fail("文件中没有工作簿（缺少 Workbook 流）");
    }
    return compound->readStream("Workbook");
}

Result<Workbook> parseWorkbookFile(Bytes file) {
    auto stream = extractWorkbookStream(file);
    if (!stream) {
        return fail(stream.error());
    }
    return parseWorkbookStream(asBytes(*stream));
}

} // namespace chengxi::xls
