// Damaged and hostile workbooks: every one fails with a reason or reads as
// something, never crashes, hangs or allocates without bound. The sanitizer
// build runs these under AddressSanitizer and UndefinedBehaviorSanitizer.
#include "library/templates.h"
#include "support/allocation_watch.h"
#include "test_support.h"
#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/compound_file.h"
#include "xls/sheet_text.h"
#include "xls/workbook_reader.h"
#include "xls/workbook_writer.h"

#include <gtest/gtest.h>

using namespace chengxi::xls;
using namespace chengxi::xls::testing;

namespace {

using chengxi::library::TemplateKind;
using chengxi::library::templateWorkbook;

namespace rec = chengxi::xls::record;

// Reads the bytes as a workbook; whatever reads must also write and read
// back. Returns the reason of a failure, or "" when it read.
std::string readAnything(std::string_view bytes) {
    auto book = parseWorkbookFile(asBytes(bytes));
    if (!book) {
        EXPECT_FALSE(book.error().empty());
        return book.error();
    }
    for (const Sheet& sheet : book->sheets) {
        (void)sheetText(*book, sheet);
    }
    if (auto written = buildWorkbookFile(*book)) {
        EXPECT_TRUE(parseWorkbookFile(asBytes(*written)).ok());
    }
    return "";
}

std::string makeRecord(std::uint16_t id, std::string_view data) {
    std::string out;
    ByteWriter w(out);
    w.u16(id);
    w.u16(static_cast<std::uint16_t>(data.size()));
    w.bytes(data);
    return out;
}

std::string u16(std::uint16_t v) {
    std::string out;
    ByteWriter(out).u16(v);
    return out;
}

std::string u32(std::uint32_t v) {
    std::string out;
    ByteWriter(out).u32(v);
    return out;
}

std::string bof(std::uint16_t type, std::uint16_t version = rec::kBiff8Version) {
    return makeRecord(rec::kBof, u16(version) + u16(type) + std::string(12, '\0'));
}

std::string boundSheet(std::uint32_t offset, std::string_view name) {
    return makeRecord(rec::kBoundSheet, u32(offset) + std::string(2, '\0') +
                                            static_cast<char>(name.size()) + '\0' +
                                            std::string(name));
}

// A Workbook stream: globals (with `globals` records added) and one sheet
// holding `cells`, inside a compound file.
std::string workbookWith(const std::string& globals, const std::string& cells) {
    const std::string head = bof(rec::kBofGlobals) + globals;
    const std::string tail = makeRecord(rec::kEof, "");
    const std::size_t sheetOffset = head.size() + boundSheet(0, "Sheet1").size() + tail.size();
    const std::string stream = head +
                               boundSheet(static_cast<std::uint32_t>(sheetOffset), "Sheet1") +
                               tail + bof(rec::kBofWorksheet) + cells + makeRecord(rec::kEof, "");
    return buildCompoundFile({{"Workbook", stream}});
}

std::string labelSst(std::uint16_t row, std::uint16_t column, std::uint32_t index) {
    return makeRecord(rec::kLabelSst, u16(row) + u16(column) + u16(15) + u32(index));
}

std::string sst(std::uint32_t unique, const std::string& strings) {
    return makeRecord(rec::kSst, u32(unique) + u32(unique) + strings);
}

} // namespace

TEST(Hostile, CraftedWorkbookReads) {
    // The helpers above build a valid workbook; the cases below break it.
    const std::string strings = u16(2) + '\0' + "ab";
    const std::string file = workbookWith(sst(1, strings), labelSst(0, 0, 0));
    auto book = parseWorkbookFile(asBytes(file));
    ASSERT_TRUE(book.ok()) << book.error();
    EXPECT_EQ(sheetText(*book, book->sheets[0]).rows,
              (std::vector<std::vector<std::string>>{{"ab"}}));
}

TEST(Hostile, StringTableFaults) {
    // A cell pointing past the table.
    EXPECT_NE(readAnything(workbookWith(sst(1, u16(1) + '\0' + "a"), labelSst(0, 0, 5))), "");
    // A string longer than the table.
    EXPECT_NE(readAnything(workbookWith(sst(1, u16(60000) + '\x01' + "ab"), "")), "");
    // Reserved option bits.
    EXPECT_NE(readAnything(workbookWith(sst(1, u16(1) + '\x02' + "a"), "")), "");
    // A phonetic block claiming four gigabytes.
    EXPECT_NE(readAnything(workbookWith(sst(1, u16(1) + '\x04' + u32(0xFFFFFFFF) + "a"), "")), "");
    // A count of a billion strings with none present reads no string and
    // allocates nothing for them.
    EXPECT_EQ(readAnything(workbookWith(sst(1000000000, ""), "")), "");
}

TEST(Hostile, RecordAndSheetFaults) {
    // A record whose length runs past the stream.
    EXPECT_NE(readAnything(buildCompoundFile(
                  {{"Workbook", bof(rec::kBofGlobals) + u16(rec::kFont) + u16(500) + "xx"}})),
              "");
    // Globals without EOF.
    EXPECT_NE(readAnything(buildCompoundFile({{"Workbook", bof(rec::kBofGlobals)}})), "");
    // A sheet position outside the stream.
    const std::string outside =
        bof(rec::kBofGlobals) + boundSheet(0x7FFFFFF0, "Sheet1") + makeRecord(rec::kEof, "");
    EXPECT_NE(readAnything(buildCompoundFile({{"Workbook", outside}})), "");
    // A sheet position in the middle of a record.
    const std::string middle =
        bof(rec::kBofGlobals) + boundSheet(3, "Sheet1") + makeRecord(rec::kEof, "");
    EXPECT_NE(readAnything(buildCompoundFile({{"Workbook", middle}})), "");
    // Encrypted and older workbooks say why they cannot be read.
    const std::string encrypted =
        readAnything(workbookWith(makeRecord(rec::kFilePass, std::string(6, '\0')), ""));
    EXPECT_NE(encrypted.find("密码"), std::string::npos) << encrypted;
    const std::string biff5 = readAnything(buildCompoundFile({{"Workbook", bof(5, 0x0500)}}));
    EXPECT_NE(biff5.find("Excel 5.0"), std::string::npos) << biff5;
}

TEST(Hostile, SheetPositionBeyondTheStreamReservesNothingForIt) {
    // Found by the fuzzer: in a stream of 2.5 KB, a second sheet placed a
    // gigabyte beyond its end made the first sheet look that long, and the
    // reader reserved 268 MB of cells for it.
    const std::string crasher = readWholeFile(
        std::string(CHENGXI_TEST_DATA) + "/fuzz/workbook/crashers/sheet_position_beyond_stream");
    ASSERT_FALSE(crasher.empty());
    const std::string head = bof(rec::kBofGlobals);
    const std::string tail = makeRecord(rec::kEof, "");
    const std::size_t sheetOffset =
        head.size() + boundSheet(0, "Sheet1").size() + boundSheet(0, "far").size() + tail.size();
    const std::string crafted =
        head + boundSheet(static_cast<std::uint32_t>(sheetOffset), "Sheet1") +
        boundSheet(0x40000000, "far") + tail + bof(rec::kBofWorksheet) +
        makeRecord(rec::kNumber, u16(0) + u16(0) + u16(15) + std::string(8, '\0')) +
        makeRecord(rec::kEof, "");
    for (const std::string& stream : {crasher, crafted}) {
        chengxi::testing::LargestAllocation watch;
        const auto book = parseWorkbookStream(asBytes(stream));
        EXPECT_LT(watch.bytes(), 16 * stream.size() + 1024 * 1024);
        EXPECT_FALSE(book.ok()); // the far sheet is not there
    }
}

TEST(Hostile, ShortCellRecordsAreSkipped) {
    const std::string cells =
        makeRecord(rec::kNumber, u16(0) + u16(0)) + makeRecord(rec::kMulRk, u16(0)) +
        makeRecord(rec::kMulBlank, u16(0) + u16(0) + u16(0)) +
        makeRecord(rec::kFormula, std::string(19, '\0')) + makeRecord(rec::kRk, "") +
        makeRecord(rec::kBoolErr, u16(1)) + makeRecord(rec::kLabel, u16(0)) +
        makeRecord(rec::kString, u16(100) + '\0' + "x") +
        makeRecord(rec::kNumber, u16(1) + u16(300) + u16(15) + std::string(8, '\0'));
    auto book = parseWorkbookFile(asBytes(workbookWith("", cells)));
    ASSERT_TRUE(book.ok()) << book.error();
    EXPECT_EQ(book->sheets[0].cells().size(), 0u);
}

TEST(Hostile, TruncationsAtManyLengths) {
    for (const std::string& name : {fixture("books_basic_lo.xls"), fixture("readers_sheetjs.xls"),
                                    fixture("books_sst_continue_xlwt.xls")}) {
        const std::string whole = readWholeFile(name);
        ASSERT_FALSE(whole.empty());
        EXPECT_EQ(readAnything(whole), "");
        const std::size_t step = std::max<std::size_t>(1, whole.size() / 400);
        for (std::size_t length = 0; length < whole.size(); length += step) {
            readAnything(std::string_view(whole).substr(0, length));
        }
    }
}

TEST(Hostile, RandomBytesAndMutatedWorkbooks) {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    const auto random = [&] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (int i = 0; i < 50; ++i) {
        std::string noise(static_cast<std::size_t>(random() % 20000), '\0');
        for (char& c : noise) {
            c = static_cast<char>(random());
        }
        if (i % 2 == 0 && noise.size() >= 8) {
            noise.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
        }
        EXPECT_NE(readAnything(noise), "");
    }
    const std::vector<std::string> seeds = {
        readWholeFile(fixture("books_basic_lo.xls")), readWholeFile(fixture("readers_sheetjs.xls")),
        readWholeFile(fixture("formulas_lo.xls")), readWholeFile(fixture("books_basic_xlwt.xls")),
        buildWorkbookFile(templateWorkbook(TemplateKind::Books)).value()};
    for (int i = 0; i < 3000; ++i) {
        std::string bytes = seeds[static_cast<std::size_t>(i) % seeds.size()];
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int f = 0; f < flips; ++f) {
            const std::size_t at = static_cast<std::size_t>(random() % bytes.size());
            bytes[at] = static_cast<char>(random() % 3 == 0 ? 0xFF : random());
        }
        readAnything(bytes);
    }
}
