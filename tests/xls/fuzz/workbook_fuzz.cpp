// Fuzz target for the workbook reader. Any bytes must either fail with a
// reason or read into a sound workbook (cells in order, one per position,
// found again where they lie, texts within the pool); what reads must also
// write, the written workbook must read back to the same sheets and texts,
// and writing that again must give the same bytes.
//
// An input that does not start like a compound file goes straight to the
// BIFF record reader, so that mutations reach the records without first
// having to keep the compound file's sector chains intact.
#include "xls/byte_io.h"
#include "xls/sheet_text.h"
#include "xls/workbook_reader.h"
#include "xls/workbook_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace chengxi::xls;

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "workbook fuzz check failed: %s\n", what);
        std::abort();
    }
}

bool looksLikeCompoundFile(Bytes input) {
    static constexpr std::uint8_t kSignature[] = {0xD0, 0xCF, 0x11, 0xE0};
    return input.size() >= sizeof kSignature &&
           std::equal(std::begin(kSignature), std::end(kSignature), input.begin());
}

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

// Checks a sheet and returns its texts, which are costly for a sheet with a
// cell far down, so each is made once.
SheetText checkedSheetText(const Workbook& book, const Sheet& sheet) {
    const auto cells = sheet.cells();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell& cell = cells[i];
        check(cell.row <= kLastRowIndex && cell.column <= kLastColumnIndex, "cell in the grid");
        check(i == 0 || cells[i - 1].row < cell.row ||
                  (cells[i - 1].row == cell.row && cells[i - 1].column < cell.column),
              "cells in order, one per position");
        check(sheet.cellAt(cell.row, cell.column) == &cell, "cell found where it lies");
        check(cell.kind != CellKind::Text || cell.value.text < book.strings.size(),
              "text within the pool");
    }
    SheetText text = sheetText(book, sheet);
    check(text.rows.size() == sheet.rowCount(), "text rows match the row count");
    check(text.width == sheet.columnCount(), "text width matches the column count");
    check(text.rows.empty() || !text.rows.back().empty(), "last row holds a value");
    for (const auto& row : text.rows) {
        check(row.size() <= text.width, "row within the width");
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes input(data, size);
    auto book =
        looksLikeCompoundFile(input) ? parseWorkbookFile(input) : parseWorkbookStream(input);
    if (!book) {
        check(!book.error().empty(), "a failure says why");
        return 0;
    }
    std::vector<SheetText> texts;
    for (const Sheet& sheet : book->sheets) {
        texts.push_back(checkedSheetText(*book, sheet));
    }

    auto written = buildWorkbookFile(*book);
    if (!written) {
        check(!written.error().empty(), "a write failure says why");
        return 0; // e.g. a sheet name longer than the format allows
    }
    auto again = parseWorkbookFile(asBytes(*written));
    check(again.ok(), "a written workbook reads");
    check(again->sheets.size() == book->sheets.size(), "every sheet written");
    // A cell whose format the workbook lacks is written with the default
    // format, which may read differently; compare the texts of clean
    // workbooks only.
    const bool clean = stylesInRange(*book);
    for (std::size_t i = 0; i < again->sheets.size(); ++i) {
        check(again->sheets[i].name == book->sheets[i].name, "sheet names kept");
        const SheetText text = checkedSheetText(*again, again->sheets[i]);
        check(!clean || text.rows == texts[i].rows, "texts kept");
    }
    // What the program wrote and read back must write the same bytes again:
    // a workbook opened, added to and closed over and over must not drift.
    auto rewritten = buildWorkbookFile(*again);
    check(rewritten.ok() && *rewritten == *written, "writing is stable");
    return 0;
}
