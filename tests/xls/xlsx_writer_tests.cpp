// The .xlsx writer: what it refuses, the full sheet, and its files read
// back cell for cell by the program's own reader and by Python's openpyxl
// (Debian's python3-openpyxl, run as /usr/bin/python3), with the
// template's sheet name, font and column widths.
#include "library/templates.h"
#include "test_support.h"
#include "xls/xlsx_reader.h"
#include "xls/xlsx_writer.h"
#include "xlsx_samples.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace chengxi::xls;
using namespace chengxi::xls::testing;

namespace {

using chengxi::library::TemplateKind;
using chengxi::library::templateLayout;

bool openpyxlAvailable() {
    static const bool available =
        std::filesystem::exists(kPython) &&
        std::system((std::string(kPython) + " -c \"import openpyxl\" 2>/dev/null").c_str()) == 0;
    return available;
}

// The first sheet as openpyxl reads it: name, the font of every cell that
// holds a value (one line when they all agree), the column widths, then the
// rows. openpyxl hands Excel's _xHHHH_ escapes over as they stand, so they
// are undone here as Excel undoes them.
constexpr std::string_view kDumpScript = R"PY(
import re, sys
import openpyxl

def unescape(s):
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), s)

def esc(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")

wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
fonts = set()
with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as out:
    rows = []
    for row in ws.iter_rows():
        cells = []
        for c in row:
            if c.value is None:
                cells.append("")
                continue
            if not isinstance(c.value, str):
                cells.append("NOT TEXT %r" % (c.value,))
                continue
            fonts.add("%s %g" % (c.font.name, c.font.sz))
            cells.append(esc(unescape(c.value)))
        rows.append("\t".join(cells))
    out.write("sheet\t%s\n" % ws.title)
    out.write("fonts\t%s\n" % ",".join(sorted(fonts)))
    widths = ",".join("%s:%.4f" % (k, v.width) for k, v in sorted(ws.column_dimensions.items()) if v.customWidth)
    out.write("widths\t%s\n" % widths)
    for line in rows:
        out.write(line + "\n")
)PY";

struct OpenpyxlView {
    std::string sheet;
    std::string fonts;
    std::string widths;
    std::vector<std::vector<std::string>> rows;
};

OpenpyxlView readWithOpenpyxl(const TempDir& dir, const std::string& workbook) {
    const std::string script = dir.file("dump.py");
    const std::string output = dir.file("dump.tsv");
    writeWholeFile(script, kDumpScript);
    const std::string command =
        std::string(kPython) + " \"" + script + "\" \"" + workbook + "\" \"" + output + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    OpenpyxlView view;
    const auto lines = readTsv(output);
    if (lines.size() < 3) {
        ADD_FAILURE() << "openpyxl wrote no dump";
        return view;
    }
    view.sheet = lines[0].at(1);
    view.fonts = lines[1].at(1);
    view.widths = lines[2].at(1);
    for (std::size_t i = 3; i < lines.size(); ++i) {
        std::vector<std::string> row;
        for (const std::string& cell : lines[i]) {
            row.push_back(unescapeDumpCell(cell));
        }
        view.rows.push_back(std::move(row));
    }
    return view;
}

// Columns as openpyxl reports them: the width in characters that Excel's
// pixel grid makes of the template's width.
std::string expectedWidths(TemplateKind kind) {
    std::string widths;
    const auto layout = templateLayout(kind);
    for (std::size_t i = 0; i < layout.widths.size(); ++i) {
        const double pixels = std::round(layout.widths[i] / 256.0 * 7);
        const double width = std::floor(pixels / 7 * 256) / 256;
        char entry[32];
        std::snprintf(entry, sizeof entry, "%s%c:%.4f", i == 0 ? "" : ",",
                      static_cast<char>('A' + i), width);
        widths += entry;
    }
    return widths;
}

} // namespace

TEST(XlsxWriter, BadRowsAreRefusedAndAddNothing) {
    TempDir dir;
    const std::string path = dir.file("books.xlsx");
    auto writer = XlsxSheetWriter::create(path, templateLayout(TemplateKind::Readers));
    ASSERT_TRUE(writer.ok()) << writer.error();
    EXPECT_EQ(writer->rowCount(), 1u);
    const std::vector<std::string> notUtf8 = {"1班", "\xC4\xE3"};
    EXPECT_NE(writer->appendRow(notUtf8).error().find("不是有效的文本"), std::string::npos);
    const std::vector<std::string> tooLong = {"1班", std::string(32768, 'x')};
    EXPECT_NE(writer->appendRow(tooLong).error().find("32767"), std::string::npos);
    const std::vector<std::string> tooMany(7, "0");
    EXPECT_FALSE(writer->appendRow(tooMany));
    EXPECT_EQ(writer->rowCount(), 1u);
    EXPECT_FALSE(std::filesystem::exists(pathFromUtf8(path))); // nothing before finish()
    ASSERT_TRUE(writer->finish());
    EXPECT_FALSE(writer->appendRow(std::vector<std::string>{"1班"}));

    auto unfinished =
        XlsxSheetWriter::create(dir.file("dropped.xlsx"), templateLayout(TemplateKind::Books));
    ASSERT_TRUE(unfinished.ok());
    ASSERT_TRUE(unfinished->appendRow(std::vector<std::string>{"9787538722314"}));
    unfinished =
        XlsxSheetWriter::create(dir.file("other.xlsx"), templateLayout(TemplateKind::Books));
    EXPECT_FALSE(std::filesystem::exists(pathFromUtf8(dir.file("dropped.xlsx"))));

    auto nowhere = XlsxSheetWriter::create(dir.file("no/such/folder.xlsx"),
                                           templateLayout(TemplateKind::Books));
    ASSERT_TRUE(nowhere.ok());
    EXPECT_NE(nowhere->finish().error().find("无法创建文件"), std::string::npos);
}

TEST(XlsxWriter, FullSheetStopsAtItsLastRow) {
    TempDir dir;
    const std::string path = dir.file("full.xlsx");
    auto writer = XlsxSheetWriter::create(path, templateLayout(TemplateKind::LoanReport));
    ASSERT_TRUE(writer.ok()) << writer.error();
    while (writer->rowCount() < XlsxSheetWriter::kMaxRows - 1) {
        ASSERT_TRUE(writer->appendRow(std::vector<std::string>{}));
    }
    ASSERT_TRUE(writer->appendRow(std::vector<std::string>{"A1048576"}));
    const Status full = writer->appendRow(std::vector<std::string>{"A1048577"});
    EXPECT_NE(full.error().find("工作表已满"), std::string::npos) << full.error();
    ASSERT_TRUE(writer->finish());

    auto workbook = XlsxWorkbook::open(path);
    ASSERT_TRUE(workbook.ok()) << workbook.error();
    std::vector<std::uint32_t> rows;
    ASSERT_TRUE(workbook->readRows(0, [&](const XlsxRow& row) {
        rows.push_back(row.index);
        return true;
    }));
    EXPECT_EQ(rows, (std::vector<std::uint32_t>{0, 1048575}));
}

TEST(XlsxWriter, OwnReaderReadsEveryTemplateBack) {
    TempDir dir;
    for (const TemplateKind kind :
         {TemplateKind::Books, TemplateKind::Readers, TemplateKind::LoanReport}) {
        const std::string path = dir.file("导出.xlsx");
        const auto rows = writeSample(path, kind);
        auto workbook = XlsxWorkbook::open(path);
        ASSERT_TRUE(workbook.ok()) << workbook.error();
        EXPECT_EQ(workbook->sheetNames(),
                  std::vector<std::string>{std::string(templateLayout(kind).sheetName)});
        const auto sheet = xlsxSheetText(*workbook, 0);
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                ASSERT_EQ(sheet->at(r, c), rows[r][c]) << "row " << r + 1 << " column " << c + 1;
            }
        }
    }
}

TEST(XlsxWriter, OpenpyxlReadsEveryTemplateBack) {
    if (!openpyxlAvailable()) {
        GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not installed";
    }
    TempDir dir;
    struct Case {
        TemplateKind kind;
        const char* sheet;
        const char* fonts;
    };
    for (const Case& c : {Case{TemplateKind::Books, "sheet1", "宋体 10"},
                          Case{TemplateKind::Readers, "Sheet1", "宋体 12"},
                          Case{TemplateKind::LoanReport, "Sheet1", "宋体 12"}}) {
        const std::string path = dir.file("导出.xlsx");
        const auto rows = writeSample(path, c.kind);
        const OpenpyxlView view = readWithOpenpyxl(dir, path);
        EXPECT_EQ(view.sheet, c.sheet);
        EXPECT_EQ(view.fonts, c.fonts);
        EXPECT_EQ(view.widths, expectedWidths(c.kind));
        ASSERT_EQ(view.rows.size(), rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                const std::string got = c < view.rows[r].size() ? view.rows[r][c] : "";
                ASSERT_EQ(got, rows[r][c]) << "row " << r + 1 << " column " << c + 1;
            }
        }
    }
}
