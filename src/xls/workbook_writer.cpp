#include "xls/workbook_writer.h"

#include "text/utf8.h"
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

// Rows go in blocks of 32: the block's ROW records, then its cells.
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

class StreamBuilder {
public:
    explicit StreamBuilder(const Workbook& book) : book_(book), records_(out_) {}

    Result<std::string> build();

private:
    Status prepare();
    void writeGlobals();
    void writeFonts();
    void writeStyles();
    Status writeSharedStrings();
    void writeBof(std::uint16_t kind);
    void writeSheet(const Sheet& sheet, bool first);
    void writeCalculationSettings();
    void writeSheetOptions(std::uint16_t rowHeight);
    void writePageSetup();
    void writeColumns(const Sheet& sheet);
    void writeDimensions(std::span<const Cell> cells);
    void writeRows(std::span<const Cell> cells, std::uint16_t rowHeight);
    void writeRowRecords(std::span<const Cell> block, std::uint16_t rowHeight);
    void writeCellRecord(const Cell& cell);
    void writeWindow(bool first);
    std::uint16_t defaultRowHeight() const;
    std::size_t estimatedSize() const;
    std::uint16_t styleOf(const Cell& cell) const {
        return cell.style < styleCount_ ? cell.style : kDefaultCellStyle;
    }

    const Workbook& book_;
    std::string out_;
    RecordWriter records_;
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
    // The cell records' sizes, header included, by kind; a ROW record per row.
    constexpr std::size_t kTextRecord = kRecordHeaderSize + kLabelSstDataSize;
    constexpr std::size_t kNumberRecord = kRecordHeaderSize + kNumberDataSize;
    constexpr std::size_t kBoolErrRecord = kRecordHeaderSize + kBoolErrDataSize;
    constexpr std::size_t kBlankRecord = kRecordHeaderSize + kBlankDataSize;
    constexpr std::size_t kRowRecord = kRecordHeaderSize + kRowDataSize;
    std::size_t estimate = 64 * 1024;
    for (const Sheet& sheet : book_.sheets) {
        estimate += sheet.rowCount() * kRowRecord;
        for (const Cell& cell : sheet.cells()) {
            estimate += cell.kind == CellKind::Text     ? kTextRecord
                        : cell.kind == CellKind::Number ? kNumberRecord
                        : cell.kind == CellKind::Blank  ? kBlankRecord
                                                        : kBoolErrRecord;
        }
    }
    // Each shared string's header, and its characters: no more bytes in
    // UTF-16 than in UTF-8 for the Chinese texts that fill a catalogue.
    return estimate + sstOrder_.size() * 3 + book_.strings.byteSize() * 5 / 4;
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
    for (const Sheet& sheet : book_.sheets) {
        for (const Cell& cell : sheet.cells()) {
            if (cell.kind != CellKind::Text) {
                continue;
            }
            ++textCells_;
            if (cell.value.text < sstIndex_.size() && sstIndex_[cell.value.text] == kUnmapped) {
                sstIndex_[cell.value.text] = static_cast<std::uint32_t>(sstOrder_.size());
                sstOrder_.push_back(cell.value.text);
            }
        }
    }
    styleCount_ = std::max<std::size_t>(book_.styles.size(), kStyleFormats + 1);
    fontCount_ = 0;
    for (const Font& font : book_.fonts) {
        fontCount_ += font.placeholder ? 0 : 1;
    }
    return {};
}

Result<std::string> StreamBuilder::build() {
    if (Status ready = prepare(); !ready) {
        return fail(ready.error());
    }
    out_.reserve(estimatedSize());

    writeGlobals();
    if (Status strings = writeSharedStrings(); !strings) {
        return fail(strings.error());
    }
    records_.simple(rec::kEof, {});
    for (std::size_t i = 0; i < book_.sheets.size(); ++i) {
        patchU32(out_, boundSheetOffsets_[i], static_cast<std::uint32_t>(out_.size()));
        writeSheet(book_.sheets[i], i == 0);
    }
    if (out_.size() < kMinimumStreamSize) {
        out_.append(kMinimumStreamSize - out_.size(), '\0');
    }
    return std::move(out_);
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

void StreamBuilder::writeSheet(const Sheet& sheet, bool first) {
    const std::uint16_t rowHeight = defaultRowHeight();
    writeBof(rec::kBofWorksheet);
    writeCalculationSettings();
    writeSheetOptions(rowHeight);
    writePageSetup();
    writeColumns(sheet);
    writeDimensions(sheet.cells());
    writeRows(sheet.cells(), rowHeight);
    writeWindow(first);
    records_.simple(rec::kEof, {});
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
void StreamBuilder::writeDimensions(std::span<const Cell> cells) {
    std::uint32_t firstRow = 0;
    std::uint32_t lastRow = 0;
    std::uint16_t firstColumn = 0;
    std::uint16_t lastColumn = 0;
    if (!cells.empty()) {
        firstRow = cells.front().row;
        lastRow = cells.back().row + 1u;
        firstColumn = std::numeric_limits<std::uint16_t>::max();
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

// One past the last cell of the block of rows that cells[first] begins.
std::size_t endOfRowBlock(std::span<const Cell> cells, std::size_t first) {
    const std::uint32_t blockFirstRow = cells[first].row / kRowsPerBlock * kRowsPerBlock;
    std::size_t end = first;
    while (end < cells.size() && cells[end].row < blockFirstRow + kRowsPerBlock) {
        ++end;
    }
    return end;
}

void StreamBuilder::writeRows(std::span<const Cell> cells, std::uint16_t rowHeight) {
    for (std::size_t index = 0; index < cells.size();) {
        const std::size_t blockEnd = endOfRowBlock(cells, index);
        const std::span<const Cell> block = cells.subspan(index, blockEnd - index);
        writeRowRecords(block, rowHeight);
        for (const Cell& cell : block) {
            writeCellRecord(cell);
        }
        index = blockEnd;
    }
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
    return StreamBuilder(workbook).build();
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
