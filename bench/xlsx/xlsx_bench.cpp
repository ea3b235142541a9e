// Benchmark of the .xlsx codec on a full catalogue: 65,535 book rows of 16
// columns of Chinese text.
//
//   chengxi-xlsx-bench [--runs N] [--no-python] [--keep]
//
// read      the file to texts, every cell, through the streaming reader
// import    the same, plus what an import adds below the pages: the
//           header's columns found, every value to code page 936, one
//           SQLite insert per row in one transaction
//   floors  the sheet part inflated by libzip alone; the same rows (already
//           code page 936) inserted bare by SQLite
//   peer    Python's openpyxl in read-only mode reading every cell
// peak      memory of the read, in a process of its own, beside the size of
//           the unpacked sheet
// write     the rows through the writer into an .xlsx
//   floor   the same strings handed to libxlsxwriter directly
//   peer    openpyxl in write-only mode
//
// Each file is read as the program writes it and as openpyxl writes it (both
// with every text inline in the sheet), and as Excel, WPS and LibreOffice
// store it: the texts once each in a shared-string table.
// Figures are the median of the runs with their range. Targets: import under
// 1 s and at least 5x faster than openpyxl; peak memory under 3x the
// unpacked sheet; write under 1 s.
#include "library/templates.h"
#include "sample_library.h"
#include "text/cp936.h"
#include "xls/file_io.h"
#include "xls/xlsx_reader.h"
#include "xls/xlsx_writer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sqlite3.h>
#include <string>
#include <unordered_map>
#include <vector>
#include <xlsxwriter.h>
#include <zip.h>

namespace {

using namespace chengxi;
using Clock = std::chrono::steady_clock;
using Rows = std::vector<std::vector<std::string>>;

constexpr int kRows = 65535;
constexpr const char* kPython = "/usr/bin/python3";

[[noreturn]] void die(const std::string& why) {
    std::fprintf(stderr, "xlsx bench: %s\n", why.c_str());
    std::exit(1);
}

// Wall and processor time of a stretch of work: the machine is shared, and
// the wall time of a busy moment says little.
struct Seconds {
    double wall = 0;
    double cpu = 0;
};

Seconds secondsOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    work();
    return {std::chrono::duration<double>(Clock::now() - start).count(),
            static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC};
}

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Median and range of the runs, wall time and processor time.
struct Figure {
    std::vector<double> wall;
    std::vector<double> cpu;

    void add(Seconds seconds) {
        wall.push_back(seconds.wall);
        cpu.push_back(seconds.cpu);
    }
    // Python reports its own time: wall time only.
    void addWall(double seconds) { wall.push_back(seconds); }
    double median() const { return medianOf(wall); }
    double cpuMedian() const { return cpu.empty() ? 0 : medianOf(cpu); }
    std::string text() const {
        char out[128];
        int length = std::snprintf(out, sizeof out, "%.3f s (%.3f-%.3f)", median(),
                                   *std::min_element(wall.begin(), wall.end()),
                                   *std::max_element(wall.begin(), wall.end()));
        if (!cpu.empty()) {
            std::snprintf(out + length, sizeof out - static_cast<std::size_t>(length),
                          " processor %.3f s", cpuMedian());
        }
        return out;
    }
};

Rows catalogue() {
    std::mt19937 random(20151109);
    Rows rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        const int n = static_cast<int>(random() % 1000);
        rows.push_back({std::to_string(9787000000000LL + 7919LL * i), bench::bookNumber(i),
                        "I" + std::to_string(200 + n % 100) + "." + std::to_string(n % 10), "文学",
                        std::to_string(1 + n % 5), bench::sampleTitle(random),
                        bench::sampleName(random) + " 著", "人民文学出版社", std::to_string(80 + n),
                        "32开", std::to_string(1980 + n % 40) + "-" + std::to_string(1 + n % 12),
                        "第" + std::to_string(1 + n % 12) + "版",
                        std::to_string(5 + n % 120) + ".50元", "书架" + std::to_string(1 + n % 60),
                        std::to_string(2000 + n % 20) + "年" + std::to_string(1 + n % 12) + "月" +
                            std::to_string(1 + n % 28) + "日",
                        n % 8 == 0 ? "1" : "0"});
    }
    return rows;
}

void writeWithWriter(const std::string& path, const Rows& rows) {
    auto writer =
        xls::XlsxSheetWriter::create(path, library::templateLayout(library::TemplateKind::Books));
    if (!writer) {
        die(writer.error());
    }
    for (const auto& row : rows) {
        if (!writer->appendRow(row)) {
            die("append failed");
        }
    }
    if (const auto done = writer->finish(); !done) {
        die(done.error());
    }
}

// The floor of the write: the strings straight into libxlsxwriter.
void writeBare(const std::string& path, const Rows& rows) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "sheet1");
    const auto headers = library::templateHeaders(library::TemplateKind::Books);
    for (std::size_t c = 0; c < headers.size(); ++c) {
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), std::string(headers[c]).c_str(),
                               nullptr);
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            worksheet_write_string(sheet, static_cast<lxw_row_t>(r + 1), static_cast<lxw_col_t>(c),
                                   rows[r][c].c_str(), nullptr);
        }
    }
    if (workbook_close(workbook) != LXW_NO_ERROR) {
        die("bare write failed");
    }
}

std::string xmlEscaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    }
    return out;
}

// The catalogue as Excel stores it: shared strings, cell references.
void writeSharedStrings(const std::string& path, const Rows& rows) {
    std::vector<std::string> strings;
    std::unordered_map<std::string, std::size_t> index;
    std::string sheet =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<dimension ref="A1:P65536"/><sheetData>)";
    const auto headers = library::templateHeaders(library::TemplateKind::Books);
    for (std::size_t r = 0; r <= rows.size(); ++r) {
        sheet += "<row r=\"" + std::to_string(r + 1) + "\" spans=\"1:16\">";
        for (std::size_t c = 0; c < 16; ++c) {
            const std::string value = r == 0 ? std::string(headers[c]) : rows[r - 1][c];
            const auto [at, added] = index.emplace(value, strings.size());
            if (added) {
                strings.push_back(value);
            }
            sheet += "<c r=\"" + std::string(1, static_cast<char>('A' + c)) +
                     std::to_string(r + 1) + "\" t=\"s\"><v>" + std::to_string(at->second) +
                     "</v></c>";
        }
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    std::string table =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";
    for (const std::string& text : strings) {
        table += "<si><t>" + xmlEscaped(text) + "</t></si>";
    }
    table += "</sst>";
    const std::string ns = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const std::string types = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
    const std::vector<std::pair<std::string, std::string>> parts = {
        {"[Content_Types].xml",
         R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
         R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.)"
         R"(relationships+xml"/><Default Extension="xml" ContentType="application/xml"/>)"
         R"(<Override PartName="/xl/workbook.xml" ContentType=")" +
             types + R"(sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" )" +
             R"(ContentType=")" + types +
             R"(worksheet+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType=")" + types +
             R"(sharedStrings+xml"/></Types>)"},
        {"_rels/.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type=")" +
             ns + R"(/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
        {"xl/workbook.xml",
         R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r=")" +
             ns +
             R"("><sheets><sheet name="sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type=")" +
             ns + R"(/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type=")" +
             ns + R"(/sharedStrings" Target="sharedStrings.xml"/></Relationships>)"},
        {"xl/sharedStrings.xml", table},
        {"xl/worksheets/sheet1.xml", sheet},
    };
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        die("cannot create " + path);
    }
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
        if (zip_file_add(archive, name.c_str(), source, 0) < 0) {
            die("cannot add " + name);
        }
    }
    if (zip_close(archive) != 0) {
        die("cannot write " + path);
    }
}

// Every text of Sheet1, touched; returns the number of cells.
std::size_t readTexts(const std::string& path) {
    auto workbook = xls::XlsxWorkbook::open(path);
    if (!workbook) {
        die(workbook.error());
    }
    std::size_t cells = 0;
    std::size_t bytes = 0;
    const auto read =
        workbook->readRows(workbook->findSheet("Sheet1").value_or(0), [&](const xls::XlsxRow& row) {
            for (const xls::XlsxCell& cell : row.cells) {
                bytes += cell.text.size();
                ++cells;
            }
            return true;
        });
    if (!read || bytes == 0) {
        die("read failed: " + read.error());
    }
    return cells;
}

struct Database {
    explicit Database(const std::string& path) {
        std::filesystem::remove(path);
        if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
            die("cannot open the database");
        }
        std::string create = "create table " + text::toCp936("图书数据").bytes + " (";
        for (std::size_t c = 0; c < 16; ++c) {
            create += (c == 0 ? "c" : ", c") + std::to_string(c) + " text";
        }
        sqlite3_exec(db, (create + ")").c_str(), nullptr, nullptr, nullptr);
    }
    ~Database() { sqlite3_close(db); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Inserts rows handed one at a time, in one transaction.
    template <class Fill> void insertAll(Fill fill) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* statement = nullptr;
        const std::string insert = "insert into " + text::toCp936("图书数据").bytes +
                                   " values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
        sqlite3_prepare_v2(db, insert.c_str(), -1, &statement, nullptr);
        fill([&](const std::vector<std::string_view>& values) {
            for (std::size_t c = 0; c < values.size(); ++c) {
                sqlite3_bind_text(statement, static_cast<int>(c + 1), values[c].data(),
                                  static_cast<int>(values[c].size()), SQLITE_STATIC);
            }
            if (sqlite3_step(statement) != SQLITE_DONE) {
                die("insert failed");
            }
            sqlite3_reset(statement);
        });
        sqlite3_finalize(statement);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }

    sqlite3* db = nullptr;
};

// What an import does below the pages: columns by header (the first of
// duplicates), rows with a book number, values to code page 936, inserts.
void importFile(const std::string& path, Database& database) {
    auto workbook = xls::XlsxWorkbook::open(path);
    if (!workbook) {
        die(workbook.error());
    }
    const auto headers = library::templateHeaders(library::TemplateKind::Books);
    std::vector<int> columnOf(headers.size(), -1);
    std::vector<std::string> bytes(headers.size());
    std::vector<std::string_view> values(headers.size());
    database.insertAll([&](const auto& insert) {
        const auto read = workbook->readRows(
            workbook->findSheet("Sheet1").value_or(0), [&](const xls::XlsxRow& row) {
                if (row.index == 0) {
                    for (const xls::XlsxCell& cell : row.cells) {
                        for (std::size_t h = 0; h < headers.size(); ++h) {
                            if (columnOf[h] < 0 && cell.text == headers[h]) {
                                columnOf[h] = static_cast<int>(cell.column);
                            }
                        }
                    }
                    return true;
                }
                for (std::size_t h = 0; h < headers.size(); ++h) {
                    bytes[h].clear();
                }
                for (const xls::XlsxCell& cell : row.cells) {
                    for (std::size_t h = 0; h < headers.size(); ++h) {
                        if (columnOf[h] == static_cast<int>(cell.column)) {
                            text::appendCp936(cell.text, bytes[h]);
                        }
                    }
                }
                if (bytes[1].empty()) {
                    return true; // no book number
                }
                for (std::size_t h = 0; h < headers.size(); ++h) {
                    values[h] = bytes[h];
                }
                insert(values);
                return true;
            });
        if (!read) {
            die(read.error());
        }
    });
}

std::uint64_t inflateSheet(const std::string& path, const std::string& part) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    zip_file_t* file = archive != nullptr ? zip_fopen(archive, part.c_str(), 0) : nullptr;
    if (file == nullptr) {
        die("cannot open " + part);
    }
    std::vector<char> buffer(64 * 1024);
    std::uint64_t total = 0;
    zip_int64_t got = 0;
    while ((got = zip_fread(file, buffer.data(), buffer.size())) > 0) {
        total += static_cast<std::uint64_t>(got);
    }
    zip_fclose(file);
    zip_discard(archive);
    return total;
}

std::int64_t statusField(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stoll(line.substr(std::string(field).size())) * 1024;
        }
    }
    return -1;
}

// In a process of its own: the read's peak memory over the process at start.
int peakOfRead(const std::string& path) {
    const std::int64_t baseline = statusField("VmRSS:");
    readTexts(path);
    std::printf("%lld\n", static_cast<long long>(statusField("VmHWM:") - baseline));
    return 0;
}

// Runs a command and returns the first number it printed.
double firstNumberPrintedBy(const std::string& command, const std::string& dir) {
    const std::string output = dir + "/output.txt";
    if (std::system((command + " > \"" + output + "\"").c_str()) != 0) {
        die("failed: " + command);
    }
    std::ifstream in(output);
    double number = -1;
    if (!(in >> number)) {
        die("no figure from: " + command);
    }
    return number;
}

std::int64_t measurePeak(const char* self, const std::string& path, const std::string& dir) {
    return static_cast<std::int64_t>(
        firstNumberPrintedBy("\"" + std::string(self) + "\" --peak \"" + path + "\"", dir));
}

constexpr const char* kPythonRead = R"PY(
import sys, time
import openpyxl
start = time.perf_counter()
wb = openpyxl.load_workbook(sys.argv[1], read_only=True)
ws = wb["sheet1"] if "sheet1" in wb.sheetnames else wb.worksheets[0]
cells = 0
for row in ws.iter_rows(values_only=True):
    for v in row:
        if v is not None:
            cells += 1
print("%.6f %d" % (time.perf_counter() - start, cells))
)PY";

constexpr const char* kPythonWrite = R"PY(
import sys, time
import openpyxl
rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[2], encoding="utf-8")]
start = time.perf_counter()
wb = openpyxl.Workbook(write_only=True)
ws = wb.create_sheet("sheet1")
for r in rows:
    ws.append(r)
wb.save(sys.argv[1])
print("%.6f %d" % (time.perf_counter() - start, len(rows)))
)PY";

double runPython(const std::string& script, const std::string& args, const std::string& dir) {
    const std::string file = dir + "/bench.py";
    std::ofstream(file) << script;
    return firstNumberPrintedBy(std::string(kPython) + " \"" + file + "\" " + args, dir);
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    bool python = true;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--peak" && i + 1 < argc) {
            return peakOfRead(argv[i + 1]);
        }
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--no-python") {
            python = false;
        } else if (arg == "--keep") {
            keep = true;
        } else {
            std::fprintf(stderr, "usage: chengxi-xlsx-bench [--runs N] [--no-python] [--keep]\n");
            return 2;
        }
    }
    const auto folder = std::filesystem::temp_directory_path() /
                        ("chengxi-xlsx-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    const std::string dir = xls::pathToUtf8(folder);
    const std::string ours = dir + "/ours.xlsx";
    const std::string bare = dir + "/bare.xlsx";
    const std::string theirs = dir + "/openpyxl.xlsx";
    const std::string database = dir + "/bench.sdb";

    const Rows rows = catalogue();
    std::vector<std::vector<std::string>> cp936Rows;
    for (const auto& row : rows) {
        std::vector<std::string> converted;
        for (const std::string& value : row) {
            converted.push_back(text::toCp936(value).bytes);
        }
        cp936Rows.push_back(std::move(converted));
    }
    std::printf("%d rows x 16 columns, %d runs; median (range)\n", kRows, runs);

    Figure write, writeFloor, writePeer;
    for (int run = 0; run < runs; ++run) {
        write.add(secondsOf([&] { writeWithWriter(ours, rows); }));
        writeFloor.add(secondsOf([&] { writeBare(bare, rows); }));
    }
    const std::string shared = dir + "/shared-strings.xlsx";
    writeSharedStrings(shared, rows);
    std::vector<std::string> files = {ours, shared};
    if (python) {
        const std::string tsv = dir + "/rows.tsv";
        {
            std::ofstream out(tsv, std::ios::binary);
            const auto headers = library::templateHeaders(library::TemplateKind::Books);
            for (std::size_t c = 0; c < headers.size(); ++c) {
                out << (c == 0 ? "" : "\t") << headers[c];
            }
            out << '\n';
            for (const auto& row : rows) {
                for (std::size_t c = 0; c < row.size(); ++c) {
                    out << (c == 0 ? "" : "\t") << row[c];
                }
                out << '\n';
            }
        }
        for (int run = 0; run < runs; ++run) {
            writePeer.addWall(runPython(kPythonWrite, "\"" + theirs + "\" \"" + tsv + "\"", dir));
        }
        files.push_back(theirs);
    }
    std::printf("write %s   floor (libxlsxwriter alone) %s", write.text().c_str(),
                writeFloor.text().c_str());
    if (python) {
        std::printf("   openpyxl %s", writePeer.text().c_str());
    }
    std::printf("\n");

    for (const std::string& file : files) {
        const std::uint64_t unpacked = inflateSheet(file, "xl/worksheets/sheet1.xml");
        std::printf("%s: %.1f MB, sheet part %.1f MB unpacked\n",
                    file == ours     ? "the program's file"
                    : file == shared ? "shared strings, as Excel stores them"
                                     : "openpyxl's file",
                    static_cast<double>(std::filesystem::file_size(file)) / 1e6,
                    static_cast<double>(unpacked) / 1e6);
        Figure read, import, inflate, inserts, peer;
        std::size_t cells = 0;
        for (int run = 0; run < runs; ++run) {
            read.add(secondsOf([&] { cells = readTexts(file); }));
            Database db(database);
            import.add(secondsOf([&] { importFile(file, db);
        }));
        inflate.add(secondsOf([&] { inflateSheet(file, "xl/worksheets/sheet1.xml"); }));
        Database bareDb(database);
        inserts.add(secondsOf([&] {
            bareDb.insertAll([&](const auto& insert) {
                std::vector<std::string_view> values(16);
                for (const auto& row : cp936Rows) {
                    std::copy(row.begin(), row.end(), values.begin());
                    insert(values);
                }
            });
        }));
        if (python) {
            peer.addWall(runPython(kPythonRead, "\"" + file + "\"", dir));
        }
    }
    const std::int64_t peak = measurePeak(argv[0], file, dir);
    std::printf("  read to texts   %s   (%zu cells)\n", read.text().c_str(), cells);
    std::printf("  import          %s\n", import.text().c_str());
    std::printf("    floor: inflate %s + bare inserts %s = %.3f s (processor %.3f s)\n",
                inflate.text().c_str(), inserts.text().c_str(), inflate.median() + inserts.median(),
                inflate.cpuMedian() + inserts.cpuMedian());
    if (python) {
        std::printf("  openpyxl read-only %s = %.1fx the import\n", peer.text().c_str(),
                    peer.median() / import.median());
    }
    std::printf("  peak memory of the read %.1f MB = %.2fx the unpacked sheet\n",
                static_cast<double>(peak) / 1e6,
                static_cast<double>(peak) / static_cast<double>(unpacked));
}
if (keep) {
    std::printf("files kept in %s\n", dir.c_str());
} else {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
return 0;
}
