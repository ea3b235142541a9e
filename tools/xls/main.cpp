// chengxi-xls: looks into and writes workbooks the way the program does, for
// support and for tests.
//
//   chengxi-xls dump FILE                      the Sheet1 rows as the import sees them
//   chengxi-xls first FILE                     the same for the first worksheet
//                                              (both read .xls and .xlsx)
//   chengxi-xls cell FILE REF                  one cell of the first worksheet (a1, z2)
//   chengxi-xls template books|readers|report FILE
//
// Rows are printed as tab-separated text, one line per row, the header row
// first. A tab, line break or backslash inside a cell is written as \t, \n,
// \r or \\ so every row stays on one line.
#include "library/templates.h"
#include "xls/file_format.h"
#include "xls/sheet_text.h"
#include "xls/xlsx_reader.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

namespace {

using chengxi::library::TemplateKind;
using chengxi::library::writeTemplate;

using namespace chengxi::xls;

int usage() {
    std::cerr << "usage: chengxi-xls dump FILE | first FILE | cell FILE REF | "
                 "template books|readers|report FILE\n";
    return 2;
}

int failure(const std::string& reason) {
    std::cerr << "chengxi-xls: " << reason << '\n';
    return 1;
}

void printEscaped(std::string& line, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        case '\\':
            line += "\\\\";
            break;
        default:
            line += c;
        }
    }
}

int printRows(const Result<SheetText>& sheet) {
    if (!sheet) {
        return failure(sheet.error());
    }
    std::string out;
    // Every line as wide as the widest row.
    for (std::size_t r = 0; r < sheet->rows.size(); ++r) {
        for (std::size_t c = 0; c < sheet->width; ++c) {
            if (c != 0) {
                out += '\t';
            }
            printEscaped(out, sheet->at(r, c));
        }
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : failure("cannot write the output");
}

// The sheet `name` (the first sheet when empty) of an .xls or .xlsx file,
// told apart by its bytes.
Result<SheetText> readAnySheet(std::string_view path, std::string_view name) {
    const auto format = workbookFormatOfFile(path);
    if (!format || *format != WorkbookFormat::Xlsx) {
        return name.empty() ? readFirstSheet(path) : readSheet(path, name);
    }
    auto workbook = XlsxWorkbook::open(path);
    if (!workbook) {
        return fail(workbook.error());
    }
    const std::optional<std::size_t> sheet = name.empty() ? 0 : workbook->findSheet(name);
    if (!sheet) {
        return fail("工作簿中没有工作表“" + std::string(name) + "”");
    }
    return xlsxSheetText(*workbook, *sheet);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage();
    }
    const std::string_view command = argv[1];
    if (command == "dump" && argc == 3) {
        return printRows(readAnySheet(argv[2], "Sheet1"));
    }
    if (command == "first" && argc == 3) {
        return printRows(readAnySheet(argv[2], ""));
    }
    if (command == "cell" && argc == 4) {
        const auto text = readCellText(argv[2], argv[3]);
        if (!text) {
            return failure(text.error());
        }
        std::cout << *text << '\n';
        return 0;
    }
    if (command == "template" && argc == 4) {
        const std::string_view kind = argv[2];
        TemplateKind which;
        if (kind == "books") {
            which = TemplateKind::Books;
        } else if (kind == "readers") {
            which = TemplateKind::Readers;
        } else if (kind == "report") {
            which = TemplateKind::LoanReport;
        } else {
            return usage();
        }
        const Status written = writeTemplate(which, argv[3]);
        return written ? 0 : failure(written.error());
    }
    return usage();
}
