// .xlsx workbooks written by other software read cell for cell as their
// expected texts, the same texts as the .xls of the same content; and the
// cell forms writers differ in all read by the one value-to-text rule.
#include "package_builder.h"
#include "test_support.h"
#include "xls/file_format.h"
#include "xls/package_names.h"
#include "xls/xlsx_reader.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace chengxi::xls;
using namespace chengxi::xls::testing;

namespace {

std::string xlsxFixture(std::string_view name) {
    return std::string(CHENGXI_TEST_DATA) + "/xlsx/" + std::string(name);
}

// Compares cell by cell; missing rows and cells count as empty texts.
void expectTexts(const SheetText& sheet, const std::vector<std::vector<std::string>>& expected) {
    ASSERT_FALSE(expected.empty());
    const std::vector<std::string> none;
    for (std::size_t r = 0; r < std::max(expected.size(), sheet.rows.size()); ++r) {
        const auto& want = r < expected.size() ? expected[r] : none;
        for (std::size_t c = 0; c < std::max(want.size(), sheet.width); ++c) {
            EXPECT_EQ(sheet.at(r, c), c < want.size() ? want[c] : "")
                << "row " << r + 1 << " column " << c + 1;
        }
    }
}

Result<SheetText> readSheet1(const std::string& path) {
    auto workbook = XlsxWorkbook::open(path);
    if (!workbook) {
        return fail(workbook.error());
    }
    const auto sheet = workbook->findSheet("Sheet1");
    if (!sheet) {
        return fail("no Sheet1");
    }
    return xlsxSheetText(*workbook, *sheet);
}

// Sheet1 of a package whose sheet holds `sheetData`.
SheetText sheetOf(const std::string& sheetData, const std::string& sharedStrings = "") {
    const std::string bytes = zipPackage(soundPackage(sheetData, sharedStrings));
    auto workbook = XlsxWorkbook::openBytes(asBytes(bytes));
    EXPECT_TRUE(workbook.ok()) << workbook.error();
    if (!workbook) {
        return {};
    }
    auto sheet = xlsxSheetText(*workbook, 0);
    EXPECT_TRUE(sheet.ok()) << sheet.error();
    return sheet ? *sheet : SheetText{};
}

} // namespace

TEST(XlsxReader, FixturesReadAsExpected) {
    // LibreOffice's files say what their .xls twins say; formulas_lo differs
    // only where LibreOffice stores a boolean result as a General number.
    for (const char* name : {"books_basic_lo", "books_sheet1_second_lo", "readers_lo"}) {
        SCOPED_TRACE(name);
        const auto sheet = readSheet1(xlsxFixture(std::string(name) + ".xlsx"));
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        expectTexts(*sheet, readTsv(fixture("expected/" + std::string(name) + ".tsv")));
    }
    for (const char* name : {"formulas_lo", "readers_openpyxl", "cells_openpyxl",
                             "date1904_openpyxl", "iso_dates_openpyxl"}) {
        SCOPED_TRACE(name);
        const auto sheet = readSheet1(xlsxFixture(std::string(name) + ".xlsx"));
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        expectTexts(*sheet, readTsv(xlsxFixture("expected/" + std::string(name) + ".tsv")));
    }
}

TEST(XlsxReader, SheetsAreFoundByNameAndOrder) {
    auto second = XlsxWorkbook::open(xlsxFixture("books_sheet1_second_lo.xlsx"));
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_EQ(second->sheetNames(), (std::vector<std::string>{"说明", "Sheet1"}));
    EXPECT_EQ(second->findSheet("SHEET1"), std::optional<std::size_t>(1));
    EXPECT_EQ(second->findSheet("Sheet2"), std::nullopt);

    auto lower = XlsxWorkbook::open(xlsxFixture("cells_openpyxl.xlsx"));
    ASSERT_TRUE(lower.ok()) << lower.error();
    EXPECT_EQ(lower->findSheet("Sheet1"), std::optional<std::size_t>(1));

    // The preview: rows 1 and 2 of the first sheet, and not a row more.
    std::vector<std::vector<std::string>> preview;
    ASSERT_TRUE(second->readRows(0, [&](const XlsxRow& row) {
        if (row.index > 1) {
            return false;
        }
        preview.emplace_back();
        for (const XlsxCell& cell : row.cells) {
            preview.back().resize(cell.column + 1u);
            preview.back()[cell.column] = cell.text;
        }
        return row.index < 1;
    }));
    ASSERT_EQ(preview.size(), 2u);
    EXPECT_EQ(preview[0][0], "请在Sheet1中填写图书；本表不会被导入");
    EXPECT_EQ(preview[1][1], "图书编号");

    // Stopping early never reads the rest, damaged or not.
    PackageParts parts = soundPackage("");
    parts["xl/worksheets/sheet1.xml"] = worksheetXml("<row><c><v>1</v></c></row>") + "<broken";
    const std::string bytes = zipPackage(parts);
    auto damaged = XlsxWorkbook::openBytes(asBytes(bytes));
    ASSERT_TRUE(damaged.ok()) << damaged.error();
    EXPECT_TRUE(damaged->readRows(0, [](const XlsxRow&) { return false; }));
    EXPECT_FALSE(damaged->readRows(0, [](const XlsxRow&) { return true; }));
}

TEST(XlsxReader, CellFormsReadByTheRule) {
    const SheetText sheet = sheetOf(
        // Positions: counted when missing, the row from a cell, cells out of
        // order (the later of two wins), a prefixed element.
        R"(<row><c><v>1</v></c><c><v>2</v></c></row>)"
        R"(<row><c r="C2"><v>3</v></c><c r="A2"><v>4</v></c><c r="C2"><v>5</v></c></row>)"
        R"(<x:row xmlns:x="urn:x" r="4"><x:c><x:v> 6 </x:v></x:c></x:row>)"
        // Values: string kinds, escapes, booleans, errors, empty and dated numbers.
        R"(<row r="5"><c t="s"><v>0</v></c><c t="str"><f>A1</f><v>公式_x000D_结果</v></c>)"
        R"(<c t="inlineStr"><is><r><t>红</t></r><r><t xml:space="preserve">楼 </t></r>)"
        R"(<rPh><t>こう</t></rPh></is></c><c t="b"><v>true</v></c><c t="e"><v>#N/A</v></c>)"
        R"(<c><f>1+1</f></c><c><v></v></c><c s="1"><v>42317.5</v></c><c s="2"><v>-1</v></c>)"
        R"(<c s="3"><v>15</v></c><c t="inlineStr"><is><t>_x005F_x0041_ _xD83D__xDE00_</t></is></c>)"
        R"(</row>)",
        R"(<si><r><t>中国</t></r><r><t>通史</t></r><rPh><t>ちゅうごく</t></rPh></si>)");
    expectTexts(sheet, {{"1", "2"},
                        {"4", "", "5"},
                        {},
                        {"6"},
                        {"中国通史", "公式\r结果", "红楼 ", "真", "", "", "", "2015年11月9日12时",
                         "-1", "15", "_x0041_ \xF0\x9F\x98\x80"}});
}

TEST(XlsxReader, FormatIsToldByTheBytes) {
    EXPECT_EQ(workbookFormatOfFile(fixture("readers_lo.xls")).value(), WorkbookFormat::Xls);
    EXPECT_EQ(workbookFormatOfFile(xlsxFixture("readers_lo.xlsx")).value(), WorkbookFormat::Xlsx);
    EXPECT_EQ(workbookFormatOfFile(fixture("not_a_workbook_csv.xls")).value(),
              WorkbookFormat::Unknown);
    EXPECT_EQ(workbookFormatOfFile(fixture("empty_file.xls")).value(), WorkbookFormat::Unknown);
    EXPECT_FALSE(workbookFormatOfFile(fixture("no_such_file.xlsx")).ok());

    // An .xlsx under an .xls name reads all the same.
    TempDir dir;
    const std::string renamed = dir.file("readers.xls");
    std::filesystem::copy_file(pathFromUtf8(xlsxFixture("readers_openpyxl.xlsx")),
                               pathFromUtf8(renamed));
    EXPECT_EQ(workbookFormatOfFile(renamed).value(), WorkbookFormat::Xlsx);
    const auto sheet = readSheet1(renamed);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    EXPECT_EQ(sheet->at(3, 1), "O'Neil 张");
}

TEST(XlsxReader, RelationshipTargetsResolveInsideThePackage) {
    EXPECT_EQ(resolvePartName("xl/worksheets/sheet1.xml", "../comments1.xml"), "xl/comments1.xml");
    EXPECT_EQ(resolvePartName("xl/workbook.xml", "/xl/worksheets/sheet1.xml#A1"),
              "xl/worksheets/sheet1.xml");
    EXPECT_EQ(resolvePartName("", "xl/./workbook.xml"), "xl/workbook.xml");
    EXPECT_EQ(resolvePartName("xl/workbook.xml", "../../etc/passwd"), std::nullopt);
    EXPECT_EQ(resolvePartName("xl/workbook.xml", ".."), std::nullopt);
    EXPECT_EQ(relationshipsPartOf("xl/workbook.xml"), "xl/_rels/workbook.xml.rels");
    EXPECT_EQ(relationshipsPartOf(""), "_rels/.rels");
}
