#include "xls/workbook_writer.h"

#include "text/utf8.h"
#include "xls/appended_rows.h"
#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/compound_file.h"
#include "xls/property_sets.h"
#include "xls/utf16.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <span>

namespace chengxi::xls {
namespace {

namespace rec = record;

constexpr std::size_t kStyleFormats = 15;
// Excel pads small Workbook streams to this size; some readers of the
// format expect it, and it keeps the stream out of the mini stream.
constexpr std::size_t kMinimumStreamSize = 4096;
constexpr std::uint32_t kUnmapped = std::numeric_limits<std::uint32_t>::max();
// A sheet's records go on to the writer's sink in pieces of about this size.
constexpr std::size_t kPieceSize = 256 * 1024;

// Every record starts with its id and the length of its data.
constexpr std::size_t kRecordHeaderSize = 4;

// BOF: the build and year of the application that wrote the file, the
// file's history flags and the lowest version that saved it.
constexpr std::uint16_t kBofBuild = 0x0DBB;
constexpr std::uint16_t kBofBuildYear = 0x07CC;
constexpr std::uint32_t kBofHistory = 0;
constexpr std::uint32_t kBofLowestVersion = 0x06;

// A sheet's calculation: automatic, A1 references, recalculated before
// saving; iteration off, with Excel's usual limits should it be turned on.
constexpr std::uint16_t kCalcAutomatic = 1;
constexpr std::uint16_t kCalcIterationLimit = 100;
constexpr std::uint16_t kRefModeA1 = 1;
constexpr double kCalcLargestChange = 0.001;

// WSBOOL: automatic page breaks shown, outline summaries below and right,
// outline symbols shown.
constexpr std::uint16_t kShowAutomaticBreaks = 0x0001;
constexpr std::uint16_t kSummaryRowsBelow = 0x0040;
constexpr std::uint16_t kSummaryColumnsRight = 0x0080;
constexpr std::uint16_t kShowOutlineSymbols = 0x0400;

// Row height in twips from the default font's height: a 12 pt font
// (240 twips) gives 14.25 pt rows; a row is 1 to 409.6 pt high.
constexpr std::uint16_t kDefaultFontHeight = 240;
constexpr int kRowHeightPerFontHeightNumerator = 19;
constexpr int kRowHeightPerFontHeightDenominator = 16;
constexpr int kLeastRowHeight = 20;
constexpr int kGreatestRowHeight = 8192;

// SETUP: A4 paper at 100 %, pages numbered from 1, fit to one page wide
// and tall, half-inch header and footer margins, one copy; the
// no-printer-settings flag says nothing else is stored.
constexpr std::uint16_t kPaperA4 = 9;
constexpr std::uint16_t kPrintScalePercent = 100;
constexpr std::uint16_t kFirstPageNumber = 1;
constexpr std::uint16_t kFitPagesWide = 1;
constexpr std::uint16_t kFitPagesTall = 1;
constexpr std::uint16_t kSetupNoPrinterSettings = 0x0004;
constexpr double kHeaderFooterMarginInches = 0.5;
constexpr std::uint16_t kCopies = 1;

constexpr std::uint16_t kColumnHidden = 0x0001;

// Rows go in blocks of 32.
constexpr std::uint32_t kRowsPerBlock = 32;
// ROW flags: this bit is always set; the row has no format of its own.
constexpr std::uint16_t kRowFlags = 0x0100;

// Cell records' data: row, column and cell format, then the value.
constexpr std::size_t kCellHeaderSize = 6;
constexpr std::size_t kLabelSstDataSize = kCellHeaderSize + 4; // shared-string index
constexpr std::size_t kNumberDataSize = kCellHeaderSize + 8;   // IEEE double
constexpr std::size_t kBoolErrDataSize = kCellHeaderSize + 2;  // value, error flag
constexpr std::size_t kBlankDataSize = kCellHeaderSize;
constexpr std::size_t kRowDataSize = 16;
constexpr std::size_t kLargestCellRecord = kRecordHeaderSize + kNumberDataSize;

// WINDOW2: gridlines, headers and zeros shown, the default grid colour,
// outline symbols shown; the first sheet is also selected and shown.
constexpr std::uint16_t kShowGridlines = 0x0002;
constexpr std::uint16_t kShowHeaders = 0x0004;
constexpr std::uint16_t kShowZeros = 0x0010;
constexpr std::uint16_t kDefaultGridColour = 0x0020;
constexpr std::uint16_t kShowOutline = 0x0080;
constexpr std::uint16_t kSheetSelected = 0x0200;
constexpr std::uint16_t kSheetShown = 0x0400;
constexpr std::uint16_t kGridColourWindowText = 64;

// Writes records one at a time: begin() puts the header, end() fills in the
// length once the data is written.
class RecordWriter {
public:
    explicit RecordWriter(std::string& out) : out_(out), w_(out) {}

    ByteWriter& begin(std::uint16_t id) {
        start_ = out_.size();
        w_.u16(id);
        w_.u16(0);
        return w_;
    }
    void end() { patchU16(out_, start_ + 2, static_cast<std::uint16_t>(dataSize())); }
    std::size_t dataSize() const { return out_.size() - start_ - kRecordHeaderSize; }
    std::size_t recordStart() const { return start_; }

    // A record with a few 16-bit fields.
    void simple(std::uint16_t id, std::initializer_list<std::uint16_t> fields) {
        begin(id);
        for (const std::uint16_t field : fields) {
            w_.u16(field);
        }
        end();
    }

    ByteWriter& bytes() { return w_; }
    std::string& out() { return out_; }

private:
    std::string& out_;
    ByteWriter w_;
    std::size_t start_ = 0;
};

// A string prepared for the file: its UTF-16 units, and whether every unit
// fits one byte ("compressed").
struct EncodedString {
    std::u16string units;
    bool compressed = true;
};

Result<EncodedString> encode(std::string_view text) {
    auto units = toUtf16(text);
    if (!units) {
        return fail("文本不是有效的 UTF-8：" + std::string(text.substr(0, 40)));
    }
    EncodedString encoded;
    encoded.units = std::move(*units);
    for (const char16_t unit : encoded.units) {
        if (unit > 0xFF) {
            encoded.compressed = false;
            break;
        }
    }
    return encoded;
}

// Appends UTF-16 units, one byte each when compressed.
void writeCharacters(std::string& out, const char16_t* units, std::size_t count, bool compressed) {
    const std::size_t at = out.size();
    out.resize(at + count * (compressed ? 1 : 2));
    char* p = out.data() + at;
    if (compressed) {
        for (std::size_t i = 0; i < count; ++i) {
            p[i] = static_cast<char>(units[i]);
        }
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            p[2 * i] = static_cast<char>(units[i] & 0xFF);
            p[2 * i + 1] = static_cast<char>(units[i] >> 8);
        }
    }
}

// UTF-8 to UTF-16 into a buffer reused from string to string; false when
// the text is not well-formed UTF-8.
bool encodeInto(std::string_view utf8, std::u16string& units, bool& compressed) {
    units.clear();
    if (!appendUtf16(utf8, units)) {
        return false;
    }
    compressed =
        std::all_of(units.begin(), units.end(), [](char16_t unit) { return unit <= 0xFF; });
    return true;
}

// An XLUnicodeString (16-bit count) or ShortXLUnicodeString (8-bit count).
void writeUnicodeString(ByteWriter& w, const EncodedString& text, bool shortLength) {
    if (shortLength) {
        w.u8(static_cast<std::uint8_t>(text.units.size()));
    } else {
        w.u16(static_cast<std::uint16_t>(text.units.size()));
    }
    w.u8(text.compressed ? 0x00 : 0x01);
    writeCharacters(w.out(), text.units.data(), text.units.size(), text.compressed);
}

using Sink = std::function<bool(std::string_view)>;

// Builds the stream in two steps: layOut() makes the globals and the shared
// strings, the only part that reads the texts; writeTo() then hands them on
// with the sheets' records, made a block of rows at a time.
class StreamBuilder {
public:
    StreamBuilder(const Workbook& book, std::span<const AppendedRows> appended)
        : book_(book), appended_(appended), records_(out_) {}

    Status layOut();
    // The whole stream's size, known once it is laid out.
    std::size_t size() const { return std::max(size_, kMinimumStreamSize); }
    bool writeTo(const Sink& sink);

private:
    Status prepare();
    // Calls `visit` with each row of sheet `index` that holds cells, in order:
    // the sheet's own cells, then the rows appended below them.
    void forEachRow(std::size_t index,
                    const std::function<void(std::uint16_t, std::span<const Cell>)>& visit) const;
    const AppendedRows* appendedTo(std::size_t index) const {
        return index < appended_.size() && !appended_[index].empty() ? &appended_[index] : nullptr;
    }
    std::size_t sheetSize(std::size_t index);
    bool flush(const Sink& sink, std::size_t atLeast);
    void writeGlobals();
    void writeFonts();
    void writeStyles();
    Status writeSharedStrings();
    void writeBof(std::uint16_t kind);
    void writeSheetHead(std::size_t index);
    void writeSheetTail(bool first);
    bool writeSheetRows(std::size_t index, const Sink& sink);
    void writeCalculationSettings();
    void writeSheetOptions(std::uint16_t rowHeight);
    void writePageSetup();
    void writeColumns(const Sheet& sheet);
    void writeDimensions(std::size_t index);
    void writeRowRecords(std::span<const Cell> block, std::uint16_t rowHeight);
    void writeCellRecord(const Cell& cell);
    void writeWindow(bool first);
    std::uint16_t defaultRowHeight() const;
    std::size_t estimatedSize() const;
    std::uint16_t styleOf(const Cell& cell) const {
        return cell.style < styleCount_ ? cell.style : kDefaultCellStyle;
    }

    const Workbook& book_;
    std::span<const AppendedRows> appended_;
    std::string out_;
    RecordWriter records_;
    std::size_t size_ = 0;
    std::vector<std::size_t> sheetSizes_;
    std::vector<Cell> block_; // the cells of the block of rows being written
    std::vector<EncodedString> sheetNames_;
    std::vector<std::size_t> boundSheetOffsets_;
    // Pool index -> shared-string index, in order of first use.
    std::vector<std::uint32_t> sstIndex_;
    std::vector<std::uint32_t> sstOrder_;
    std::size_t textCells_ = 0;
    std::size_t styleCount_ = 0;
    std::size_t fontCount_ = 0;
};

std::size_t StreamBuilder::estimatedSize() const {
    // The globals, then each shared string's header and its characters: no
    // more bytes in UTF-16 than in UTF-8 for the Chinese texts that fill a
    // catalogue.
    return 64 * 1024 + sstOrder_.size() * 3 + book_.strings.byteSize() * 5 / 4;
}

void StreamBuilder::forEachRow(
    std::size_t index,
    const std::function<void(std::uint16_t, std::span<const Cell>)>& visit) const {
    const std::span<const Cell> cells = book_.sheets[index].cells();
    for (std::size_t first = 0; first < cells.size();) {
        std::size_t end = first + 1;
        while (end < cells.size() && cells[end].row == cells[first].row) {
            ++end;
        }
        visit(cells[first].row, cells.subspan(first, end - first));
        first = end;
    }
    if (const AppendedRows* appended = appendedTo(index)) {
        appended->forEachRow(visit);
    }
}

Status StreamBuilder::prepare() {
    if (book_.sheets.empty()) {
        return fail("工作簿中没有工作表");
    }
    for (const Sheet& sheet : book_.sheets) {
        auto name = encode(sheet.name);
        if (!name) {
            return fail(name.error());
        }
        if (name->units.empty() || name->units.size() > kMaxSheetNameCharacters) {
            return fail("工作表名称须为 1 到 31 个字符：" + sheet.name);
        }
        sheetNames_.push_back(std::move(*name));
    }
    sstIndex_.assign(book_.strings.size(), kUnmapped);
    for (std::size_t index = 0; index < book_.sheets.size(); ++index) {
        forEachRow(index, [&](std::uint16_t, std::span<const Cell> cells) {
            for (const Cell& cell : cells) {
                if (cell.kind != CellKind::Text) {
                    continue;
                }
                ++textCells_;
                if (cell.value.text < sstIndex_.size() && sstIndex_[cell.value.text] == kUnmapped) {
                    sstIndex_[cell.value.text] = static_cast<std::uint32_t>(sstOrder_.size());
                    sstOrder_.push_back(cell.value.text);
                }
            }
        });
    }
    styleCount_ = std::max<std::size_t>(book_.styles.size(), kStyleFormats + 1);
    fontCount_ = 0;
    for (const Font& font : book_.fonts) {
        fontCount_ += font.placeholder ? 0 : 1;
    }
    return {};
}

Status StreamBuilder::layOut() {
    if (Status ready = prepare(); !ready) {
        return fail(ready.error());
    }
    out_.reserve(estimatedSize());
    writeGlobals();
    if (Status strings = writeSharedStrings(); !strings) {
        return fail(strings.error());
    }
    records_.simple(rec::kEof, {});
    // Each sheet's position, from the sizes of the parts before it.
    size_ = out_.size();
    for (std::size_t i = 0; i < book_.sheets.size(); ++i) {
        patchU32(out_, boundSheetOffsets_[i], static_cast<std::uint32_t>(size_));
        sheetSizes_.push_back(sheetSize(i));
        size_ += sheetSizes_.back();
    }
    return {};
}

// Hands on what the buffer holds once it holds `atLeast` bytes.
bool StreamBuilder::flush(const Sink& sink, std::size_t atLeast) {
    if (out_.size() < atLeast || out_.empty()) {
        return true;
    }
    const bool written = sink(out_);
    out_.clear();
    return written;
}

bool StreamBuilder::writeTo(const Sink& sink) {
    if (!flush(sink, 0)) {
        return false;
    }
    std::string().swap(out_); // the globals' room; the sheets need pieces only
    for (std::size_t i = 0; i < book_.sheets.size(); ++i) {
        writeSheetHead(i);
        if (!writeSheetRows(i, sink)) {
            return false;
        }
        writeSheetTail(i == 0);
    }
    if (size_ < kMinimumStreamSize) {
        out_.append(kMinimumStreamSize - size_, '\0');
    }
    return flush(sink, 0);
}

void StreamBuilder::writeGlobals() {
    RecordWriter& r = records_;
    ByteWriter& w = r.bytes();
    writeBof(rec::kBofGlobals);
    r.simple(rec::kInterfaceHdr, {1200});
    r.simple(rec::kMms, {0});
    r.simple(rec::kInterfaceEnd, {});
    // The user name field is a fixed 112 bytes, padded with blanks.
    r.begin(rec::kWriteAccess);
    const std::size_t writeAccessStart = out_.size();
    writeUnicodeString(w, EncodedString{u"Chengxi", true}, false);
    w.bytes(std::string(112 - (out_.size() - writeAccessStart), ' '));
    r.end();
    r.simple(rec::kCodepage, {1200});
    r.simple(rec::kDsf, {0});
    r.begin(rec::kTabId);
    for (std::size_t i = 0; i < book_.sheets.size(); ++i) {
        w.u16(static_cast<std::uint16_t>(i + 1));
    }
    r.end();
    r.simple(rec::kFnGroupCount, {0x000E});
    r.simple(rec::kWindowProtect, {0});
    r.simple(rec::kProtect, {0});
    r.simple(rec::kPassword, {0});
    r.simple(rec::kProt4Rev, {0});
    r.simple(rec::kProt4RevPass, {0});
    r.simple(rec::kWindow1, {0x0168, 0x001E, 0x3A5C, 0x2328, 0x0038, 0, 0, 1, 0x0258});
    r.simple(rec::kBackup, {0});
    r.simple(rec::kHideObj, {0});
    r.simple(rec::kDateMode, {static_cast<std::uint16_t>(book_.dateMode1904 ? 1 : 0)});
    r.simple(rec::kPrecision, {1});
    r.simple(rec::kRefreshAll, {0});
    r.simple(rec::kBookBool, {0});
    writeFonts();
    for (const NumberFormat& format : book_.numberFormats) {
        auto code = encode(format.code);
        if (!code) {
            continue;
        }
        r.begin(rec::kFormat);
        w.u16(format.id);
        writeUnicodeString(w, *code, false);
        r.end();
    }
    writeStyles();
    // The built-in style "Normal" on the first style format.
    r.begin(rec::kStyle);
    w.u16(0x8000);
    w.u8(0);
    w.u8(0xFF);
    r.end();
    r.simple(rec::kUsesElfs, {0});
    for (const EncodedString& name : sheetNames_) {
        r.begin(rec::kBoundSheet);
        boundSheetOffsets_.push_back(out_.size());
        w.u32(0); // patched once the sheet's position is known
        w.u8(0);  // visible
        w.u8(0);  // worksheet
        writeUnicodeString(w, name, true);
        r.end();
    }
    r.simple(rec::kCountry, {86, 86});
}

void StreamBuilder::writeFonts() {
    std::vector<Font> fonts;
    for (const Font& font : book_.fonts) {
        if (!font.placeholder) {
            fonts.push_back(font);
        }
    }
    if (fonts.empty()) {
        fonts.emplace_back();
    }
    for (const Font& font : fonts) {
        auto name = encode(font.name);
        if (!name || name->units.empty() || name->units.size() > 255) {
            name = encode("宋体");
        }
        RecordWriter& r = records_;
        ByteWriter& w = r.begin(rec::kFont);
        w.u16(font.height);
        w.u16(static_cast<std::uint16_t>((font.italic ? 0x02 : 0) | (font.strikeout ? 0x08 : 0)));
        w.u16(font.colour);
        w.u16(font.weight);
        w.u16(font.escapement);
        w.u8(font.underline);
        w.u8(font.family);
        w.u8(font.charset);
        w.u8(0);
        writeUnicodeString(w, *name, true);
        r.end();
    }
}

void StreamBuilder::writeStyles() {
    // A style's font must exist; fonts are numbered 0-3, then 5 onward.
    const std::size_t fontIndexes =
        fontCount_ <= 4 ? std::max<std::size_t>(fontCount_, 1) : fontCount_ + 1;
    for (std::size_t i = 0; i < styleCount_; ++i) {
        CellStyle style = i < book_.styles.size() ? book_.styles[i] : CellStyle{};
        if (style.font >= fontIndexes || style.font == 4) {
            style.font = 0;
        }
        // 0-14 are always style formats and 15 the default cell format;
        // later ones keep their kind (Excel adds styles such as "Comma").
        const bool isStyle = i < kStyleFormats || (i > kStyleFormats && style.isStyle);
        RecordWriter& r = records_;
        ByteWriter& w = r.begin(rec::kXf);
        w.u16(style.font);
        w.u16(style.numberFormat);
        w.u16(isStyle ? 0xFFF5 : 0x0001); // locked; a style format has no parent
        w.u8(0x20);                       // bottom-aligned
        w.u8(0);
        w.u8(0);
        // Which groups of attributes a cell format takes from itself rather
        // than from its parent style (all, once it has a font or number
        // format of its own); for style formats, which groups they leave out.
        const bool ownAttributes = !isStyle && (style.font != 0 || style.numberFormat != 0);
        w.u8(isStyle ? (i == 0 ? 0x00 : 0xF4) : (ownAttributes ? 0xFC : 0x00));
        w.u32(0);      // no borders
        w.u32(0);      // no border colours, no fill
        w.u16(0x20C0); // default pattern colours
        r.end();
    }
}

Status StreamBuilder::writeSharedStrings() {
    RecordWriter& r = records_;
    ByteWriter& w = r.bytes();
    const std::size_t unique = sstOrder_.size();
    const std::size_t perBucket = std::max<std::size_t>(8, (unique + 127) / 128);
    struct Bucket {
        std::uint32_t position;
        std::uint16_t offsetInRecord;
    };
    std::vector<Bucket> buckets;

    r.begin(rec::kSst);
    w.u32(static_cast<std::uint32_t>(textCells_));
    w.u32(static_cast<std::uint32_t>(unique));
    std::u16string units;
    for (std::size_t i = 0; i < unique; ++i) {
        const std::string_view source = book_.strings.at(sstOrder_[i]);
        bool compressed = true;
        if (!encodeInto(source, units, compressed)) {
            return fail("文本不是有效的 UTF-8：" + std::string(source.substr(0, 40)));
        }
        const std::size_t count = units.size();
        if (count > kMaxCellCharacters) {
            return fail("单元格内容超过 32767 个字符");
        }
        const std::size_t width = compressed ? 1 : 2;
        // The string's header and its first character stay in one record.
        if (r.dataSize() + 3 + (count > 0 ? width : 0) > rec::kMaxRecordData) {
            r.end();
            r.begin(rec::kContinue);
        }
        if (i % perBucket == 0) {
            buckets.push_back({static_cast<std::uint32_t>(out_.size()),
                               static_cast<std::uint16_t>(out_.size() - r.recordStart())});
        }
        w.u16(static_cast<std::uint16_t>(count));
        w.u8(compressed ? 0x00 : 0x01);
        std::size_t written = 0;
        while (written < count) {
            const std::size_t room = (rec::kMaxRecordData - r.dataSize()) / width;
            std::size_t take = std::min(room, count - written);
            // Never part a surrogate pair between two records.
            if (take > 0 && written + take < count && units[written + take - 1] >= 0xD800 &&
                units[written + take - 1] <= 0xDBFF) {
                --take;
            }
            if (take == 0) {
                // The rest goes on in a CONTINUE record that first repeats
                // the option byte.
                r.end();
                r.begin(rec::kContinue);
                w.u8(compressed ? 0x00 : 0x01);
                continue;
            }
            writeCharacters(out_, units.data() + written, take, compressed);
            written += take;
        }
    }
    r.end();

    r.begin(rec::kExtSst);
    w.u16(static_cast<std::uint16_t>(perBucket));
    for (const Bucket& bucket : buckets) {
        w.u32(bucket.position);
        w.u16(bucket.offsetInRecord);
        w.u16(0);
    }
    r.end();
    return {};
}

void StreamBuilder::writeBof(std::uint16_t kind) {
    RecordWriter& r = records_;
    ByteWriter& w = r.begin(rec::kBof);
    w.u16(rec::kBiff8Version);
    w.u16(kind);
    w.u16(kBofBuild);
    w.u16(kBofBuildYear);
    w.u32(kBofHistory);
    w.u32(kBofLowestVersion);
    r.end();
}

// A sheet's records before its rows.
void StreamBuilder::writeSheetHead(std::size_t index) {
    const std::uint16_t rowHeight = defaultRowHeight();
    writeBof(rec::kBofWorksheet);
    writeCalculationSettings();
    writeSheetOptions(rowHeight);
    writePageSetup();
    writeColumns(book_.sheets[index]);
    writeDimensions(index);
}

void StreamBuilder::writeSheetTail(bool first) {
    writeWindow(first);
    records_.simple(rec::kEof, {});
}

// The size of the records writeSheetHead(), writeSheetRows() and
// writeSheetTail() make: the head and tail written aside and measured, a ROW
// record for each row that holds cells, and each cell's record.
std::size_t StreamBuilder::sheetSize(std::size_t index) {
    constexpr std::size_t kTextRecord = kRecordHeaderSize + kLabelSstDataSize;
    constexpr std::size_t kNumberRecord = kRecordHeaderSize + kNumberDataSize;
    constexpr std::size_t kBoolErrRecord = kRecordHeaderSize + kBoolErrDataSize;
    constexpr std::size_t kBlankRecord = kRecordHeaderSize + kBlankDataSize;
    constexpr std::size_t kRowRecord = kRecordHeaderSize + kRowDataSize;
    const std::size_t mark = out_.size();
    writeSheetHead(index);
    writeSheetTail(index == 0);
    std::size_t size = out_.size() - mark;
    out_.resize(mark);
    const std::span<const Cell> cells = book_.sheets[index].cells();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell& cell = cells[i];
        size += i == 0 || cells[i - 1].row != cell.row ? kRowRecord : 0;
        size += cell.kind == CellKind::Text     ? kTextRecord
                : cell.kind == CellKind::Number ? kNumberRecord
                : cell.kind == CellKind::Blank  ? kBlankRecord
                                                : kBoolErrRecord;
    }
    if (const AppendedRows* appended = appendedTo(index)) {
        size += appended->rowCount() * kRowRecord + appended->cellCount() * kTextRecord;
    }
    return size;
}

void StreamBuilder::writeCalculationSettings() {
    RecordWriter& r = records_;
    r.simple(rec::kCalcMode, {kCalcAutomatic});
    r.simple(rec::kCalcCount, {kCalcIterationLimit});
    r.simple(rec::kRefMode, {kRefModeA1});
    r.simple(rec::kIteration, {0});
    r.begin(rec::kDelta).f64(kCalcLargestChange);
    r.end();
    r.simple(rec::kSaveRecalc, {1});
}

std::uint16_t StreamBuilder::defaultRowHeight() const {
    const int fontHeight = book_.fonts.empty() ? kDefaultFontHeight : book_.fonts.front().height;
    return static_cast<std::uint16_t>(std::clamp(fontHeight * kRowHeightPerFontHeightNumerator /
                                                     kRowHeightPerFontHeightDenominator,
                                                 kLeastRowHeight, kGreatestRowHeight));
}

// Printing without headers or gridlines, no outline, and the rows' height.
void StreamBuilder::writeSheetOptions(std::uint16_t rowHeight) {
    RecordWriter& r = records_;
    r.simple(rec::kPrintHeaders, {0});
    r.simple(rec::kPrintGridlines, {0});
    r.simple(rec::kGridSet, {1});
    r.simple(rec::kGuts, {0, 0, 0, 0});
    r.simple(rec::kDefaultRowHeight, {0, rowHeight});
    r.simple(rec::kWsBool, {kShowAutomaticBreaks | kSummaryRowsBelow | kSummaryColumnsRight |
                            kShowOutlineSymbols});
}

// No page header or footer, not centred on the page.
void StreamBuilder::writePageSetup() {
    RecordWriter& r = records_;
    r.simple(rec::kHeader, {});
    r.simple(rec::kFooter, {});
    r.simple(rec::kHCenter, {0});
    r.simple(rec::kVCenter, {0});
    ByteWriter& w = r.begin(rec::kSetup);
    w.u16(kPaperA4);
    w.u16(kPrintScalePercent);
    w.u16(kFirstPageNumber);
    w.u16(kFitPagesWide);
    w.u16(kFitPagesTall);
    w.u16(kSetupNoPrinterSettings);
    w.u16(0); // horizontal and vertical resolution
    w.u16(0);
    w.f64(kHeaderFooterMarginInches);
    w.f64(kHeaderFooterMarginInches);
    w.u16(kCopies);
    r.end();
}

void StreamBuilder::writeColumns(const Sheet& sheet) {
    RecordWriter& r = records_;
    r.simple(rec::kDefColWidth, {sheet.defaultColumnWidth});
    for (const ColumnWidth& column : sheet.columnWidths) {
        const std::uint16_t style = column.style < styleCount_ ? column.style : kDefaultCellStyle;
        const std::uint16_t options = column.hidden ? kColumnHidden : 0;
        r.simple(rec::kColInfo, {column.first, column.last, column.width, style, options, 0});
    }
}

// The first row and column that hold cells and one past the last; all zero
// for a sheet without cells.
void StreamBuilder::writeDimensions(std::size_t index) {
    const std::span<const Cell> cells = book_.sheets[index].cells();
    const AppendedRows* appended = appendedTo(index);
    std::uint32_t firstRow = 0;
    std::uint32_t lastRow = 0;
    std::uint16_t firstColumn = 0;
    std::uint16_t lastColumn = 0;
    if (!cells.empty() || appended != nullptr) {
        firstRow = !cells.empty() ? cells.front().row : appended->firstRow();
        lastRow = appended != nullptr ? appended->endRow() : cells.back().row + 1u;
        firstColumn = appended != nullptr ? appended->firstColumn()
                                          : std::numeric_limits<std::uint16_t>::max();
        lastColumn = appended != nullptr ? appended->endColumn() : 0;
        for (const Cell& cell : cells) {
            firstColumn = std::min(firstColumn, cell.column);
            lastColumn =
                std::max<std::uint16_t>(lastColumn, static_cast<std::uint16_t>(cell.column + 1));
        }
    }
    RecordWriter& r = records_;
    ByteWriter& w = r.begin(rec::kDimensions);
    w.u32(firstRow);
    w.u32(lastRow);
    w.u16(firstColumn);
    w.u16(lastColumn);
    w.u16(0);
    r.end();
}

// Rows go in blocks of 32: the block's ROW records, then its cells. The
// buffer goes on to the sink between blocks.
bool StreamBuilder::writeSheetRows(std::size_t index, const Sink& sink) {
    const std::uint16_t rowHeight = defaultRowHeight();
    bool written = true;
    const auto writeBlock = [&] {
        writeRowRecords(block_, rowHeight);
        for (const Cell& cell : block_) {
            writeCellRecord(cell);
        }
        block_.clear();
        written = written && flush(sink, kPieceSize);
    };
    block_.clear();
    forEachRow(index, [&](std::uint16_t row, std::span<const Cell> cells) {
        if (!block_.empty() && block_.front().row / kRowsPerBlock != row / kRowsPerBlock) {
            writeBlock();
        }
        block_.insert(block_.end(), cells.begin(), cells.end());
    });
    if (!block_.empty()) {
        writeBlock();
    }
    return written;
}

// A ROW record for each row of the block: its columns and height.
void StreamBuilder::writeRowRecords(std::span<const Cell> block, std::uint16_t rowHeight) {
    for (std::size_t i = 0; i < block.size();) {
        std::size_t j = i;
        while (j < block.size() && block[j].row == block[i].row) {
            ++j;
        }
        const std::uint16_t columnEnd = static_cast<std::uint16_t>(block[j - 1].column + 1);
        records_.simple(rec::kRow, {block[i].row, block[i].column, columnEnd, rowHeight, 0, 0,
                                    kRowFlags, kDefaultCellStyle});
        i = j;
    }
}

// Cell records are the bulk of a large sheet: each is laid out in a small
// buffer and appended whole.
void StreamBuilder::writeCellRecord(const Cell& cell) {
    std::array<std::uint8_t, kLargestCellRecord> buffer;
    const auto put16 = [&](std::size_t at, std::uint16_t v) {
        buffer[at] = static_cast<std::uint8_t>(v);
        buffer[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    // Record header and cell header; the value follows at `kValueAt`.
    constexpr std::size_t kValueAt = kRecordHeaderSize + kCellHeaderSize;
    const auto header = [&](std::uint16_t id, std::size_t dataSize) {
        put16(0, id);
        put16(2, static_cast<std::uint16_t>(dataSize));
        put16(4, cell.row);
        put16(6, cell.column);
        put16(8, styleOf(cell));
        return kRecordHeaderSize + dataSize;
    };
    std::size_t size = 0;
    switch (cell.kind) {
    case CellKind::Text: {
        size = header(rec::kLabelSst, kLabelSstDataSize);
        const std::uint32_t sst = sstIndex_[cell.value.text];
        put16(kValueAt, static_cast<std::uint16_t>(sst));
        put16(kValueAt + 2, static_cast<std::uint16_t>(sst >> 16));
        break;
    }
    case CellKind::Number: {
        size = header(rec::kNumber, kNumberDataSize);
        std::uint64_t bits;
        std::memcpy(&bits, &cell.value.number, sizeof bits);
        for (std::size_t b = 0; b < sizeof bits; ++b) {
            buffer[kValueAt + b] = static_cast<std::uint8_t>(bits >> (8 * b));
        }
        break;
    }
    case CellKind::Boolean:
    case CellKind::Error:
        size = header(rec::kBoolErr, kBoolErrDataSize);
        buffer[kValueAt] = cell.value.code;
        buffer[kValueAt + 1] = cell.kind == CellKind::Error ? 1 : 0;
        break;
    case CellKind::Blank:
        size = header(rec::kBlank, kBlankDataSize);
        break;
    }
    out_.append(reinterpret_cast<const char*>(buffer.data()), size);
}

void StreamBuilder::writeWindow(bool first) {
    const int shown = kShowGridlines | kShowHeaders | kShowZeros | kDefaultGridColour |
                      kShowOutline | (first ? kSheetSelected | kSheetShown : 0);
    RecordWriter& r = records_;
    ByteWriter& w = r.begin(rec::kWindow2);
    w.u16(static_cast<std::uint16_t>(shown));
    w.u16(0); // top row
    w.u16(0); // left column
    w.u16(kGridColourWindowText);
    w.u16(0);
    w.u16(0); // zoom in page break preview and in normal view: default
    w.u16(0);
    w.u32(0);
    r.end();
}

} // namespace

Result<std::string> buildWorkbookStream(const Workbook& workbook) {
    StreamBuilder builder(workbook, {});
    if (Status laidOut = builder.layOut(); !laidOut) {
        return fail(laidOut.error());
    }
    std::string stream;
    stream.reserve(builder.size());
    builder.writeTo([&](std::string_view piece) {
        stream.append(piece);
        return true;
    });
    return stream;
}

struct WorkbookStreamWriter::Parts {
    Parts(Workbook taken, std::vector<AppendedRows> rows)
        : book(std::move(taken)), appended(std::move(rows)), builder(book, appended) {}
    Workbook book;
    std::vector<AppendedRows> appended;
    StreamBuilder builder;
};

WorkbookStreamWriter::WorkbookStreamWriter(std::unique_ptr<Parts> parts)
    : parts_(std::move(parts)) {}
WorkbookStreamWriter::WorkbookStreamWriter(WorkbookStreamWriter&&) noexcept = default;
WorkbookStreamWriter::~WorkbookStreamWriter() = default;

Result<WorkbookStreamWriter> WorkbookStreamWriter::start(Workbook book,
                                                         std::vector<AppendedRows> appended) {
    auto parts = std::make_unique<Parts>(std::move(book), std::move(appended));
    if (Status laidOut = parts->builder.layOut(); !laidOut) {
        return fail(laidOut.error());
    }
    // Laid out, the texts are in the shared strings and needed no more.
    parts->book.strings = StringPool();
    return WorkbookStreamWriter(std::move(parts));
}

std::size_t WorkbookStreamWriter::size() const {
    return parts_->builder.size();
}

bool WorkbookStreamWriter::writeTo(const std::function<bool(std::string_view)>& write) {
    return parts_->builder.writeTo(write);
}

Result<std::string> buildWorkbookFile(const Workbook& workbook) {
    auto stream = buildWorkbookStream(workbook);
    if (!stream) {
        return fail(stream.error());
    }
    const std::string summary = summaryInformationStream();
    const std::string documentSummary = documentSummaryInformationStream();
    return buildCompoundFile({{"Workbook", *stream},
                              {"\x05SummaryInformation", summary},
                              {"\x05"
                               "DocumentSummaryInformation",
                               documentSummary}});
}

} // namespace chengxi::xls
