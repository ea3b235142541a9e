// Benchmark of the workbook layer on a full catalogue: 65,535 book rows of
// 16 columns of Chinese text (about 175,000 distinct strings) written
// through the connection as the book export does, then read back through a
// sheet query as the book import does.
//
//   chengxi-xls-bench [--runs N] [--keep FILE]
//
// Targets: read under 0.15 s, write under 0.3 s, peak memory of the read
// under five times the file size.
#include "library/templates.h"
#include "xls/connect_string.h"
#include "xls/file_io.h"
#include "xls/sheet_statement.h"
#include "xls/workbook_connection.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using chengxi::library::templateHeaders;
using chengxi::library::TemplateKind;
using chengxi::library::writeTemplate;

using namespace chengxi::xls;
using Clock = std::chrono::steady_clock;

constexpr int kRows = 65535;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Deterministic pseudo-random numbers, so every run writes the same file.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next(std::uint32_t bound) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ % bound);
    }

private:
    std::uint64_t state_;
};

template <std::size_t N> const char* pick(Random& random, const std::array<const char*, N>& items) {
    return items[random.next(N)];
}

constexpr std::array<const char*, 40> kWords = {
    "中国", "历史", "文学", "科学", "自然", "城市", "乡村", "少年", "春天", "秋水",
    "江河", "山川", "故事", "传说", "数学", "物理", "化学", "生物", "地理", "艺术",
    "音乐", "绘画", "诗词", "散文", "小说", "人生", "时代", "世界", "宇宙", "海洋",
    "森林", "星辰", "花园", "远方", "家园", "梦想", "青春", "记忆", "旅行", "思想"};
constexpr std::array<const char*, 12> kForms = {"概论", "简史", "导读", "选集", "读本", "研究",
                                                "十讲", "入门", "全集", "笔记", "文选", "词典"};
constexpr std::array<const char*, 20> kSurnames = {"王", "李", "张", "刘", "陈", "杨", "赵",
                                                   "黄", "周", "吴", "徐", "孙", "胡", "朱",
                                                   "高", "林", "何", "郭", "马", "罗"};
constexpr std::array<const char*, 30> kGiven = {
    "伟", "芳",   "娜", "敏", "静", "丽",   "强",   "磊", "军", "洋", "勇", "艳", "杰", "涛", "明",
    "超", "秀英", "华", "平", "刚", "桂英", "建华", "文", "斌", "宇", "浩", "凯", "晨", "雪", "琳"};
constexpr std::array<const char*, 12> kPublishers = {
    "人民文学出版社", "商务印书馆", "中华书局",       "上海译文出版社",
    "作家出版社",     "科学出版社", "高等教育出版社", "北京大学出版社",
    "译林出版社",     "三联书店",   "中信出版社",     "人民教育出版社"};
constexpr std::array<const char*, 10> kCategories = {"文学", "历史", "哲学", "科技", "艺术",
                                                     "教育", "经济", "地理", "语言", "综合"};
constexpr std::array<const char*, 5> kFormats = {"16开", "32开", "大32开", "64开", "8开"};

std::vector<std::string> bookRow(Random& random, int i) {
    std::vector<std::string> row;
    row.reserve(16);
    row.push_back(std::to_string(9787000000000LL + 7919LL * i)); // 条形码
    row.push_back("A" + std::to_string(100000 + i));             // 图书编号
    row.push_back(std::string("I") + std::to_string(200 + random.next(100)) + "." +
                  std::to_string(random.next(10)));    // 分类号
    row.push_back(pick(random, kCategories));          // 图书类别
    row.push_back(std::to_string(1 + random.next(5))); // 复本号
    std::string title =
        std::string(pick(random, kWords)) + pick(random, kWords) + pick(random, kForms);
    if (random.next(4) == 0) {
        title += "（第" + std::to_string(1 + random.next(9)) + "卷）";
    }
    row.push_back(title); // 书名
    std::string author = std::string(pick(random, kSurnames)) + pick(random, kGiven);
    if (random.next(12) == 0) {
        author += "、" + std::string(pick(random, kSurnames)) + pick(random, kGiven);
    }
    row.push_back(author + (random.next(5) == 0 ? " 译" : " 著")); // 著译者
    row.push_back(pick(random, kPublishers));                      // 出版处
    row.push_back(std::to_string(80 + random.next(900)));          // 页数
    row.push_back(pick(random, kFormats));                         // 开本
    row.push_back(std::to_string(1980 + random.next(40)) + "-" +
                  std::to_string(1 + random.next(12)));               // 版期
    row.push_back("第" + std::to_string(1 + random.next(12)) + "版"); // 版次
    row.push_back(std::to_string(5 + random.next(120)) + "." + std::to_string(random.next(10)) +
                  "0元");                                        // 单价
    row.push_back("书架" + std::to_string(1 + random.next(60))); // 书架名称
    row.push_back(std::to_string(2000 + random.next(20)) + "年" +
                  std::to_string(1 + random.next(12)) + "月" + std::to_string(1 + random.next(28)) +
                  "日");                            // 入库时间
    row.push_back(random.next(8) == 0 ? "1" : "0"); // 是否借出
    return row;
}

// Peak resident memory of this process, in bytes (Linux only; -1 elsewhere).
std::int64_t peakResident() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stoll(line.substr(6)) * 1024;
        }
    }
    return -1;
}

std::int64_t currentResident() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stoll(line.substr(6)) * 1024;
        }
    }
    return -1;
}

// Writes the catalogue through the connection as the book export does.
bool writeCatalogue(const std::string& path, double& seconds) {
    const auto headers = templateHeaders(TemplateKind::Books);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(kRows);
    Random random(20151109);
    for (int i = 0; i < kRows; ++i) {
        rows.push_back(bookRow(random, i));
    }
    const auto start = Clock::now();
    if (!writeTemplate(TemplateKind::Books, path)) {
        std::fprintf(stderr, "cannot write the template to %s\n", path.c_str());
        return false;
    }
    WorkbookConnection connection;
    if (!connection.open(connectString(path))) {
        std::fprintf(stderr, "cannot open: %s\n", connection.lastError().c_str());
        return false;
    }
    for (const auto& row : rows) {
        if (!connection.execute(insertStatement(headers, row))) {
            std::fprintf(stderr, "insert failed: %s\n", connection.lastError().c_str());
            return false;
        }
    }
    if (!connection.close()) {
        std::fprintf(stderr, "close failed: %s\n", connection.lastError().c_str());
        return false;
    }
    seconds = secondsSince(start);
    return true;
}

// Reads the catalogue back through a sheet query as the book import does,
// in a process of its own so that its peak memory is its own; then checks
// every cell against the rows written (not timed).
int readCatalogue(const std::string& path) {
    const auto headers = templateHeaders(TemplateKind::Books);
    const std::int64_t baseline = currentResident();
    const auto start = Clock::now();
    WorkbookConnection connection;
    if (!connection.open(connectString(path))) {
        std::fprintf(stderr, "cannot open: %s\n", connection.lastError().c_str());
        return 1;
    }
    const QueryHandle query =
        connection.openQuery("select * from [Sheet1$]  where [图书编号] is not NULL");
    if (!query) {
        std::fprintf(stderr, "query failed: %s\n", connection.lastError().c_str());
        return 1;
    }
    std::vector<std::string> values(headers.size());
    std::size_t rowsRead = 0;
    for (connection.moveFirst(query); !connection.atEnd(query); connection.moveNext(query)) {
        for (std::size_t c = 0; c < headers.size(); ++c) {
            values[c] = connection.read(query, headers[c]);
        }
        ++rowsRead;
    }
    const double seconds = secondsSince(start);
    const std::int64_t peak = peakResident();
    const std::size_t distinct = connection.workbook()->strings.size();

    Random random(20151109);
    std::size_t mismatches = 0;
    int i = 0;
    for (connection.moveFirst(query); !connection.atEnd(query); connection.moveNext(query), ++i) {
        const auto expected = bookRow(random, i);
        for (std::size_t c = 0; c < headers.size(); ++c) {
            mismatches += connection.read(query, headers[c]) != expected[c] ? 1 : 0;
        }
    }
    const auto fileSize = static_cast<double>(std::filesystem::file_size(pathFromUtf8(path)));
    std::printf("  read via sheet query %.3f s (%.0f rows/s), %zu distinct strings", seconds,
                rowsRead / seconds, distinct);
    if (peak > 0) {
        std::printf(", peak memory %.1f MB = %.2fx file (process at start %.1f MB)", peak / 1e6,
                    peak / fileSize, baseline / 1e6);
    }
    const bool ok = rowsRead == kRows && mismatches == 0;
    std::printf("%s\n", ok ? "" : "  CONTENT MISMATCH");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 3;
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--read-only" && i + 1 < argc) {
            return readCatalogue(argv[i + 1]);
        }
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--keep" && i + 1 < argc) {
            keep = argv[++i];
        } else {
            std::fprintf(stderr, "usage: chengxi-xls-bench [--runs N] [--keep FILE]\n");
            return 2;
        }
    }
    const std::string path =
        keep.empty() ? pathToUtf8(std::filesystem::temp_directory_path() / "chengxi-xls-bench.xls")
                     : keep;
    std::printf("%d rows x 16 columns, %d runs, file %s\n", kRows, runs, path.c_str());
    bool allOk = true;
    for (int run = 1; run <= runs; ++run) {
        double write = 0;
        if (!writeCatalogue(path, write)) {
            return 1;
        }
        const auto size = std::filesystem::file_size(pathFromUtf8(path));
        const auto start = Clock::now();
        const auto bytes = readFileBytes(pathFromUtf8(path), std::size_t{1} << 31);
        const double floor = secondsSince(start);
        std::printf("run %d: write through the connection %.3f s (%.0f rows/s), file %.1f MB, "
                    "reading its bytes %.4f s\n",
                    run, write, kRows / write, static_cast<double>(size) / 1e6, floor);
        std::fflush(stdout);
        const std::string command = "\"" + std::string(argv[0]) + "\" --read-only \"" + path + "\"";
        allOk = std::system(command.c_str()) == 0 && bytes.ok() && allOk;
    }
    if (keep.empty()) {
        std::error_code ignored;
        std::filesystem::remove(pathFromUtf8(path), ignored);
    }
    return allOk ? 0 : 1;
}
