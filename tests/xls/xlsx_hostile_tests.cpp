// Damaged and hostile .xlsx packages: each is refused with its reason (or,
// where it is no damage, read for what it holds), never crashes, hangs or
// allocates out of proportion. The sanitizer build runs these too.
#include "package_builder.h"
#include "support/allocation_watch.h"
#include "test_support.h"
#include "xls/byte_io.h"
#include "xls/xlsx_reader.h"

#include <gtest/gtest.h>

using namespace chengxi::xls;
using namespace chengxi::xls::testing;

namespace {

const std::string kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/"
                                   "relationships";

// Opens the package and reads all of Sheet1; the reason of the first
// failure, or "" when everything read.
std::string readFailure(const std::string& bytes, InflateLimits limits = {}) {
    auto workbook = XlsxWorkbook::openBytes(asBytes(bytes), limits);
    if (!workbook) {
        EXPECT_FALSE(workbook.error().empty());
        return workbook.error();
    }
    const auto sheet = xlsxSheetText(*workbook, workbook->findSheet("Sheet1").value_or(0));
    return sheet ? "" : sheet.error();
}

std::string withSheet(const std::string& sheetData, bool stored = false) {
    return zipPackage(soundPackage(sheetData), stored);
}

std::string workbookRelationships(const std::string& sheetTarget) {
    return R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
           R"(<Relationship Id="rId1" Type=")" +
           kRelationships + R"(/worksheet" Target=")" + sheetTarget + R"("/></Relationships>)";
}

const std::string kTwoRows =
    R"(<row r="1"><c r="A1" t="inlineStr"><is><t>图书编号</t></is></c></row>)"
    R"(<row r="2"><c r="A2" t="inlineStr"><is><t>A00001</t></is></c></row>)";

} // namespace

TEST(XlsxHostile, DamagedArchivesAreRefused) {
    const std::string sound = withSheet(kTwoRows);
    ASSERT_EQ(readFailure(sound), "");

    // Cut anywhere: a reason every time; cut in the directory, "不完整".
    for (std::size_t size = 0; size < sound.size(); size += 7) {
        EXPECT_NE(readFailure(sound.substr(0, size)), "") << "cut at " << size;
    }
    EXPECT_NE(readFailure(sound.substr(0, sound.size() - 10)).find("压缩包不完整"),
              std::string::npos);
    EXPECT_NE(readFailure("PK\x03\x04 not really a zip").find("工作簿已损坏"), std::string::npos);

    // A changed byte in a stored part keeps the XML sound: only the CRC can
    // tell, and an import must not take B00001 for the book in the file.
    std::string damaged = withSheet(kTwoRows, true);
    const std::size_t at = damaged.find("A00001");
    ASSERT_NE(at, std::string::npos);
    damaged[at] = 'B';
    auto workbook = XlsxWorkbook::openBytes(asBytes(damaged));
    ASSERT_TRUE(workbook.ok()) << workbook.error();
    const Status read = workbook->readRows(0, [](const XlsxRow&) { return true; });
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.error().find("CRC"), std::string::npos) << read.error();
}

TEST(XlsxHostile, MissingOrCircularPartsAreRefused) {
    struct Case {
        const char* what;
        PackageParts parts;
        const char* reason;
    };
    const PackageParts sound = soundPackage(kTwoRows);
    auto without = [&](const std::string& part) {
        PackageParts parts = sound;
        parts.erase(part);
        return parts;
    };
    auto with = [&](const std::string& part, const std::string& content) {
        PackageParts parts = sound;
        parts[part] = content;
        return parts;
    };
    const std::string noSheets =
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheets/></workbook>)";
    const std::string rootToItself =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type=")" +
        kRelationships + R"(/officeDocument" Target="_rels/.rels"/></Relationships>)";
    const Case cases[] = {
        {"no package relationships", without("_rels/.rels"), "缺少部件“_rels/.rels”"},
        {"no workbook part", without("xl/workbook.xml"), "缺少部件“xl/workbook.xml”"},
        {"no workbook relationships", without("xl/_rels/workbook.xml.rels"),
         "缺少部件“xl/_rels/workbook.xml.rels”"},
        {"no sheet part", without("xl/worksheets/sheet1.xml"),
         "缺少部件“xl/worksheets/sheet1.xml”"},
        {"no shared strings", without("xl/sharedStrings.xml"), "缺少部件“xl/sharedStrings.xml”"},
        {"no sheets", with("xl/workbook.xml", noSheets), "工作簿中没有工作表"},
        {"sheet without relationship", with("xl/_rels/workbook.xml.rels", R"(<Relationships/>)"),
         "找不到工作表“Sheet1”"},
        {"sheet is the workbook",
         with("xl/_rels/workbook.xml.rels", workbookRelationships("workbook.xml")), "构成循环"},
        {"sheet is a relationships part",
         with("xl/_rels/workbook.xml.rels", workbookRelationships("_rels/workbook.xml.rels")),
         "构成循环"},
        {"package points at itself", with("_rels/.rels", rootToItself), "构成循环"},
        {"sheet escapes the package",
         with("xl/_rels/workbook.xml.rels", workbookRelationships("../../evil.xml")),
         "不在压缩包之内"},
        {"absolute escape", with("xl/_rels/workbook.xml.rels", workbookRelationships("/../x.xml")),
         "不在压缩包之内"},
        {"sheet is the styles part",
         with("xl/_rels/workbook.xml.rels", workbookRelationships("styles.xml")), "根元素"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string reason = readFailure(zipPackage(c.parts));
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }

    // A target that climbs inside the package is ordinary.
    PackageParts moved =
        with("xl/_rels/workbook.xml.rels", workbookRelationships("../xl/worksheets/./sheet1.xml"));
    EXPECT_EQ(readFailure(zipPackage(moved)), "");
}

TEST(XlsxHostile, ZipBombsStopAtTheLimits) {
    // 4 MiB of blanks inside the sheet: deflate packs them a thousandfold.
    const std::string bomb = withSheet(std::string(std::size_t{4} << 20, ' '));
    ASSERT_LT(bomb.size(), std::size_t{16} << 10);
    const std::string reason = readFailure(bomb);
    EXPECT_NE(reason.find("压缩炸弹"), std::string::npos) << reason;

    // An ordinary sheet past a part's limit, or past the limit of all parts.
    std::string rows;
    for (int r = 1; r <= 3000; ++r) {
        rows += "<row r=\"" + std::to_string(r) + "\"><c t=\"inlineStr\"><is><t>书" +
                std::to_string(r * 7919) + "</t></is></c></row>";
    }
    const std::string large = withSheet(rows);
    EXPECT_EQ(readFailure(large), "");
    EXPECT_NE(readFailure(large, {.partBytes = 64 << 10}).find("压缩炸弹"), std::string::npos);
    EXPECT_NE(readFailure(large, {.totalBytes = 64 << 10}).find("压缩炸弹"), std::string::npos);
}

TEST(XlsxHostile, DocumentTypeDeclarationsAreRefused) {
    const std::string laughs = R"(<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol">)"
                               R"(<!ENTITY lol2 "&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;">)"
                               R"(<!ENTITY lol3 "&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;">]>)";
    const std::string external =
        R"(<?xml version="1.0"?><!DOCTYPE x [<!ENTITY e SYSTEM "file:///etc/passwd">]>)";
    PackageParts parts = soundPackage("");
    parts["xl/worksheets/sheet1.xml"] =
        laughs + R"(<worksheet><sheetData><row><c t="inlineStr"><is><t>&lol3;</t></is></c></row>)"
                 R"(</sheetData></worksheet>)";
    std::string reason = readFailure(zipPackage(parts));
    EXPECT_NE(reason.find("DTD"), std::string::npos) << reason;

    parts = soundPackage("", "<si><t>&e;</t></si>");
    parts["xl/sharedStrings.xml"] = external + parts["xl/sharedStrings.xml"];
    reason = readFailure(zipPackage(parts));
    EXPECT_NE(reason.find("DTD"), std::string::npos) << reason;
}

TEST(XlsxHostile, DamagedSheetsAreRefused) {
    struct Case {
        const char* what;
        std::string sheetData;
        const char* reason;
    };
    const Case cases[] = {
        {"rows out of order", R"(<row r="2"><c><v>1</v></c></row><row r="1"><c><v>1</v></c></row>)",
         "行次序错乱"},
        {"a row twice", R"(<row r="2"><c><v>1</v></c></row><row r="2"><c><v>1</v></c></row>)",
         "行次序错乱"},
        {"row past the sheet", R"(<row r="1048577"><c><v>1</v></c></row>)", "行号“1048577”无效"},
        {"column past XFD", R"(<row r="1"><c r="XFE1"><v>1</v></c></row>)", "单元格位置“XFE1”无效"},
        {"counted past XFD", R"(<row r="1"><c r="XFD1"><v>1</v></c><c><v>2</v></c></row>)",
         "最后一列"},
        {"unknown shared string", R"(<row r="1"><c t="s"><v>5</v></c></row>)", "共享字符串"},
        {"not a number", R"(<row r="1"><c><v>12abc</v></c></row>)", "数值“12abc”无效"},
        {"unknown type", R"(<row r="1"><c t="x"><v>1</v></c></row>)", "单元格类型“x”无效"},
        {"bad date", R"(<row r="1"><c t="d"><v>2015-13-01</v></c></row>)", "日期“2015-13-01”无效"},
        {"not XML", R"(<row r="1"><c><v>1</v></row>)", "不是有效的 XML"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string reason = readFailure(withSheet(c.sheetData));
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
}

TEST(XlsxHostile, ClaimedSizesAreNeverTrusted) {
    // The dimension and the counts claim the whole grid; two rows are there.
    PackageParts parts = soundPackage("", R"(<si><t>图书编号</t></si>)");
    parts["xl/worksheets/sheet1.xml"] =
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<dimension ref="A1:XFD1048576"/><sheetData>)"
        R"(<row r="1" spans="1:16384"><c r="A1" t="s"><v>0</v></c></row>)"
        R"(<row r="1048576"><c r="XFD1048576"><v>7</v></c></row></sheetData></worksheet>)";
    parts["xl/sharedStrings.xml"] =
        R"(<sst count="4000000000" uniqueCount="4000000000"><si><t>图书编号</t></si></sst>)";
    const std::string bytes = zipPackage(parts);
    const chengxi::testing::LargestAllocation largest;
    auto workbook = XlsxWorkbook::openBytes(asBytes(bytes));
    ASSERT_TRUE(workbook.ok()) << workbook.error();
    std::vector<std::pair<std::uint32_t, std::string>> seen;
    ASSERT_TRUE(workbook->readRows(0, [&](const XlsxRow& row) {
        for (const XlsxCell& cell : row.cells) {
            seen.emplace_back(row.index, std::string(cell.text));
        }
        return true;
    }));
    EXPECT_LT(largest.bytes(), std::size_t{256} << 10);
    const std::vector<std::pair<std::uint32_t, std::string>> expected = {{0, "图书编号"},
                                                                         {1048575, "7"}};
    EXPECT_EQ(seen, expected);
}
