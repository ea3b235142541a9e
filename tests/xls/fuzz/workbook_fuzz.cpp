// libFuzzer target for the workbook reader: any bytes must either fail with
// a reason or read; what reads must also write, and the written workbook
// must read back to the same texts.
//
//   cmake -DCMAKE_CXX_COMPILER=clang++ -DCHENGXI_SANITIZE=ON -DCHENGXI_FUZZ=ON ...
//   chengxi_xls_fuzz CORPUS_DIR tests/data/xls -max_len=300000
#include "xls/byte_io.h"
#include "xls/sheet_text.h"
#include "xls/workbook_reader.h"
#include "xls/workbook_writer.h"

#include <cstdlib>

using namespace chengxi::xls;

namespace {

bool stylesInRange(const Workbook& book) {
    for (const Sheet& sheet : book.sheets) {
        for (const Cell& cell : sheet.cells()) {
            if (cell.style >= book.styles.size()) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto book = parseWorkbookFile(Bytes(data, size));
    if (!book) {
        if (book.error().empty()) {
            std::abort(); // a failure must say why
        }
        return 0;
    }
    std::vector<SheetText> texts;
    for (const Sheet& sheet : book->sheets) {
        texts.push_back(sheetText(*book, sheet));
    }
    auto written = buildWorkbookFile(*book);
    if (!written) {
        return 0; // e.g. a sheet name longer than the format allows
    }
    auto again = parseWorkbookFile(asBytes(*written));
    if (!again || again->sheets.size() != book->sheets.size()) {
        std::abort();
    }
    // A cell whose format the workbook lacks is written with the default
    // format, which may read differently; compare only clean workbooks.
    if (stylesInRange(*book)) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (sheetText(*again, again->sheets[i]).rows != texts[i].rows) {
                std::abort();
            }
        }
    }
    return 0;
}
