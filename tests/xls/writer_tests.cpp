// The writer: templates, long and unusual texts, determinism, and workbooks
// read back by the program's own reader.
#include "library/templates.h"
#include "test_support.h"
#include "xls/biff_records.h"
#include "xls/biff_stream.h"
#include "xls/cell_text.h"
#include "xls/file_io.h"
#include "xls/sheet_text.h"
#include "xls/workbook_file.h"
#include "xls/workbook_reader.h"
#include "xls/workbook_writer.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace chengxi::xls;
using namespace chengxi::xls::testing;

namespace {

using chengxi::library::templateHeaders;
using chengxi::library::TemplateKind;
using chengxi::library::templateWorkbook;
using chengxi::library::writeTemplate;

Workbook roundTrip(const Workbook& book) {
    auto bytes = buildWorkbookFile(book);
    EXPECT_TRUE(bytes.ok()) << bytes.error();
    auto read = parseWorkbookFile(asBytes(bytes.ok() ? *bytes : std::string()));
    EXPECT_TRUE(read.ok()) << read.error();
    return read.ok() ? std::move(read.value()) : Workbook{};
}

// One sheet with one text per row in column A.
Workbook columnOfTexts(const std::vector<std::string>& texts) {
    Workbook book = templateWorkbook(TemplateKind::Readers);
    std::vector<Cell> cells(book.sheets[0].cells().begin(), book.sheets[0].cells().end());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        cells.push_back(Cell::ofText(static_cast<std::uint16_t>(i + 1), 0, kDefaultCellStyle,
                                     book.strings.add(texts[i])));
    }
    book.sheets[0].assignCells(std::move(cells));
    return book;
}

std::string repeat(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

} // namespace

TEST(Templates, HeadersSheetNamesFontsAndWidths) {
    struct Expected {
        TemplateKind kind;
        const char* sheet;
        std::size_t headers;
        std::uint16_t fontHeight;
        std::vector<std::uint16_t> widths;
    };
    const std::vector<Expected> all = {
        {TemplateKind::Books, "sheet1", 16, 200, {}},
        {TemplateKind::Readers, "Sheet1", 6, 240, {3552, 2720, 4128, 2848, 4448, 2912, 4896, 2688}},
        {TemplateKind::LoanReport, "Sheet1", 5, 240, {3552, 2720, 4128, 2848, 4448, 2912, 2688}},
    };
    for (const Expected& expected : all) {
        const Workbook book = roundTrip(templateWorkbook(expected.kind));
        ASSERT_EQ(book.sheets.size(), 1u);
        const Sheet& sheet = book.sheets[0];
        EXPECT_EQ(sheet.name, expected.sheet);
        ASSERT_EQ(sheet.rowCount(), 1u);
        const auto headers = templateHeaders(expected.kind);
        ASSERT_EQ(headers.size(), expected.headers);
        for (std::size_t c = 0; c < headers.size(); ++c) {
            const Cell* cell = sheet.cellAt(0, static_cast<std::uint32_t>(c));
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cellText(book, *cell), headers[c]);
            EXPECT_EQ(book.fonts[book.styles[cell->style].font].height, expected.fontHeight);
            EXPECT_EQ(book.fonts[book.styles[cell->style].font].name, "宋体");
        }
        std::vector<std::uint16_t> widths;
        for (const ColumnWidth& width : sheet.columnWidths) {
            for (std::uint32_t c = width.first; c <= width.last; ++c) {
                widths.push_back(width.width);
            }
        }
        EXPECT_EQ(widths, expected.widths);
        EXPECT_EQ(sheet.defaultColumnWidth, 8);
    }
}

TEST(Templates, BookTemplateHasSixteenBlankCellsInRowTwo) {
    const Workbook book = roundTrip(templateWorkbook(TemplateKind::Books));
    const Sheet& sheet = book.sheets[0];
    const auto row = sheet.rowCells(1);
    ASSERT_EQ(row.size(), 16u);
    for (const Cell& cell : row) {
        EXPECT_EQ(cell.kind, CellKind::Blank);
        EXPECT_EQ(cell.style, sheet.cellAt(0, cell.column)->style);
    }
    EXPECT_EQ(sheet.rowCount(), 1u); // blank cells hold no value
}

TEST(Templates, WritingReplacesTheWholeFileWithTheSameBytesEveryTime) {
    TempDir dir;
    const std::string path = dir.file("导出.xls");
    writeWholeFile(path, std::string(200000, 'x'));
    ASSERT_TRUE(writeTemplate(TemplateKind::Readers, path));
    const std::string first = readWholeFile(path);
    ASSERT_TRUE(writeTemplate(TemplateKind::Readers, path));
    EXPECT_EQ(readWholeFile(path), first);
    EXPECT_EQ(first, buildWorkbookFile(templateWorkbook(TemplateKind::Readers)).value());
    EXPECT_NE(first, buildWorkbookFile(templateWorkbook(TemplateKind::LoanReport)).value());
    EXPECT_FALSE(writeTemplate(TemplateKind::Books, dir.file("no-such-folder/x.xls")));
}

// A link planted where the old fixed temporary name was, and a read-only
// file in the way: neither is written through nor replaced.
TEST(Templates, WritingNeverGoesThroughAPlantedLinkNorOverAReadOnlyFile) {
    TempDir dir;
    const std::string path = dir.file("导出.xls");
    const std::string victim = dir.file("victim");
    writeWholeFile(victim, "keep");
    std::error_code error;
    std::filesystem::create_symlink(pathFromUtf8(victim), pathFromUtf8(path + ".chengxi-tmp"),
                                    error);
    ASSERT_FALSE(error) << error.message();
    ASSERT_TRUE(writeTemplate(TemplateKind::Books, path));
    EXPECT_EQ(readWholeFile(victim), "keep");

    std::filesystem::permissions(pathFromUtf8(victim), std::filesystem::perms::owner_read);
    EXPECT_FALSE(writeTemplate(TemplateKind::Books, victim));
    EXPECT_EQ(readWholeFile(victim), "keep");
}

TEST(Writer, LongTextsAcrossContinueRecordsComeBackWhole) {
    std::vector<std::string> texts = {"O'Brien",
                                      "读者,意林|合订本",
                                      "",
                                      repeat("a", 255),
                                      repeat("书", 255),
                                      repeat("汉字", 1000),
                                      repeat("x", 9000),
                                      repeat("é", 8300),
                                      repeat("😀", 5000),
                                      repeat("a😀", 4000),
                                      "末尾"};
    // Many mid-sized strings so that record boundaries fall in every kind of place.
    for (int i = 0; i < 400; ++i) {
        texts.push_back(repeat(i % 2 == 0 ? "中" : "😀", 20 + i % 37) + std::to_string(i));
    }
    const Workbook book = roundTrip(columnOfTexts(texts));
    const Sheet& sheet = book.sheets[0];
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const Cell* cell = sheet.cellAt(static_cast<std::uint32_t>(i + 1), 0);
        ASSERT_NE(cell, nullptr) << i;
        EXPECT_EQ(cellText(book, *cell), texts[i]) << "text " << i;
    }
}

TEST(Writer, CharactersBeyondTheBasicPlaneAtEveryRecordBoundary) {
    // 8224 bytes of record data hold 4112 UTF-16 units: try every alignment
    // of a pair against the boundary.
    for (std::size_t lead = 0; lead < 6; ++lead) {
        const std::string text = repeat("中", 4100 + lead) + repeat("😀", 20);
        const Workbook book = roundTrip(columnOfTexts({text}));
        EXPECT_EQ(cellText(book, *book.sheets[0].cellAt(1, 0)), text) << lead;
    }
}

TEST(Writer, OverlongTextFailsCleanly) {
    const auto bytes = buildWorkbookFile(columnOfTexts({repeat("a", kMaxCellCharacters + 1)}));
    EXPECT_FALSE(bytes.ok());
    EXPECT_TRUE(buildWorkbookFile(columnOfTexts({repeat("a", kMaxCellCharacters)})).ok());
}

TEST(Writer, ForeignWorkbookKeepsItsValuesThroughAWrite) {
    for (const char* name : {"books_basic_lo.xls", "books_date1904_xlwt.xls", "formulas_lo.xls",
                             "books_builtin_formats_xlwt.xls", "books_sheet1_second_lo.xls"}) {
        SCOPED_TRACE(name);
        const auto original = loadWorkbook(fixture(name));
        ASSERT_TRUE(original.ok());
        const Workbook copy = roundTrip(*original);
        ASSERT_EQ(copy.sheets.size(), original->sheets.size());
        for (std::size_t s = 0; s < copy.sheets.size(); ++s) {
            EXPECT_EQ(copy.sheets[s].name, original->sheets[s].name);
            EXPECT_EQ(sheetText(copy, copy.sheets[s]).rows,
                      sheetText(*original, original->sheets[s]).rows);
        }
    }
}

TEST(Writer, EveryKindOfCellAndTheSheetsLimits) {
    Workbook book = templateWorkbook(TemplateKind::LoanReport);
    book.numberFormats.push_back({164, "yyyy\"年\"m\"月\"d\"日\""});
    book.styles.push_back({0, 164, false});
    book.refreshDateStyles();
    const auto dateStyle = static_cast<std::uint16_t>(book.styles.size() - 1);
    book.sheets[0].assignCells({
        Cell::ofNumber(1, 0, kDefaultCellStyle, 9787538722314.0),
        Cell::ofNumber(1, 1, dateStyle, 42317.54513888888),
        Cell::ofBoolean(1, 2, kDefaultCellStyle, true),
        Cell::ofError(1, 3, kDefaultCellStyle, 0x07),
        Cell::ofNumber(1, 4, 4000, 2.5), // a style the book lacks is written as the default
        Cell::ofText(65535, 255, kDefaultCellStyle, book.strings.add("最后一格")),
    });
    const Workbook copy = roundTrip(book);
    const Sheet& sheet = copy.sheets[0];
    EXPECT_EQ(cellText(copy, *sheet.cellAt(1, 0)), "9787538722314");
    EXPECT_EQ(cellText(copy, *sheet.cellAt(1, 1)), "2015年11月9日13时5分");
    EXPECT_EQ(cellText(copy, *sheet.cellAt(1, 2)), "真");
    EXPECT_EQ(sheet.cellAt(1, 3)->kind, CellKind::Error);
    EXPECT_EQ(sheet.cellAt(1, 4)->style, kDefaultCellStyle);
    EXPECT_EQ(cellText(copy, *sheet.cellAt(65535, 255)), "最后一格");
    EXPECT_EQ(sheet.rowCount(), 65536u);
    EXPECT_EQ(sheet.columnCount(), 256u);
}

TEST(Writer, SheetNamesMustFitTheFormat) {
    Workbook book = templateWorkbook(TemplateKind::Readers);
    book.sheets[0].name = repeat("表", 32);
    EXPECT_FALSE(buildWorkbookFile(book).ok());
    book.sheets[0].name = "";
    EXPECT_FALSE(buildWorkbookFile(book).ok());
    book.sheets.clear();
    EXPECT_FALSE(buildWorkbookFile(book).ok());
}

TEST(Writer, RecordsHaveTheSizesTheFormatFixes) {
    // Excel refuses a file whose fixed-size records are too long or short,
    // though lenient readers (this program's, xlrd) read on.
    namespace rec = chengxi::xls::record;
    const std::map<std::uint16_t, std::size_t> sizes = {{rec::kBof, 16},
                                                        {rec::kXf, 20},
                                                        {rec::kWindow1, 18},
                                                        {rec::kWindow2, 18},
                                                        {rec::kWriteAccess, 112},
                                                        {rec::kStyle, 4},
                                                        {rec::kCountry, 4},
                                                        {rec::kDimensions, 14},
                                                        {rec::kRow, 16},
                                                        {rec::kLabelSst, 10},
                                                        {rec::kNumber, 14},
                                                        {rec::kBlank, 6},
                                                        {rec::kBoolErr, 8},
                                                        {rec::kColInfo, 12},
                                                        {rec::kSetup, 34},
                                                        {rec::kDefaultRowHeight, 4},
                                                        {rec::kDelta, 8},
                                                        {rec::kGuts, 8},
                                                        {rec::kCodepage, 2},
                                                        {rec::kDateMode, 2},
                                                        {rec::kEof, 0}};
    Workbook book = templateWorkbook(TemplateKind::Readers);
    std::vector<Cell> cells(book.sheets[0].cells().begin(), book.sheets[0].cells().end());
    cells.push_back(Cell::blank(1, 0, kDefaultCellStyle));
    cells.push_back(Cell::ofText(2, 0, kDefaultCellStyle, book.strings.add("文本")));
    cells.push_back(Cell::ofNumber(2, 1, kDefaultCellStyle, 1.5));
    cells.push_back(Cell::ofBoolean(2, 2, kDefaultCellStyle, true));
    book.sheets[0].assignCells(std::move(cells));
    const auto stream = buildWorkbookStream(book);
    ASSERT_TRUE(stream.ok());
    RecordCursor cursor(asBytes(*stream), 0);
    Record record;
    std::map<std::uint16_t, int> seen;
    int eofs = 0;
    while (eofs < 2 && cursor.next(record)) {
        ++seen[record.id];
        eofs += record.id == rec::kEof ? 1 : 0;
        const auto expected = sizes.find(record.id);
        if (expected != sizes.end()) {
            EXPECT_EQ(record.data.size(), expected->second) << "record 0x" << std::hex << record.id;
        }
        EXPECT_LE(record.data.size(), rec::kMaxRecordData);
    }
    EXPECT_EQ(eofs, 2);
    for (const auto& [id, size] : sizes) {
        EXPECT_GT(seen[id], 0) << "no record 0x" << std::hex << id;
    }
}
