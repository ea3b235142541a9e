#pragma once

#include "xls/file_io.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::xls::testing {

inline std::string fixture(std::string_view name) {
    return std::string(CHENGXI_TEST_DATA) + "/xls/" + std::string(name);
}

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeWholeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(pathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The rows of an expected .tsv file, split into cells.
inline std::vector<std::vector<std::string>> readTsv(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::size_t start = 0;
        while (true) {
            const std::size_t tab = line.find('\t', start);
            cells.push_back(
                line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos) {
                break;
            }
            start = tab + 1;
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "chengxi-xls-";
        name +=
            info != nullptr ? std::string(info->test_suite_name()) + "-" + info->name() : "test";
        // A random part too: the same test may run in another checkout at once.
        name += "-" + std::to_string(counter++) + "-" + std::to_string(std::random_device{}());
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(std::string_view name) const { return pathToUtf8(path_ / pathFromUtf8(name)); }

private:
    std::filesystem::path path_;
};

// Python's xlrd, the independent reader the written workbooks are checked
// with (Debian's python3-xlrd).
inline constexpr const char* kPython = "/usr/bin/python3";

inline bool xlrdAvailable() {
    static const bool available =
        std::filesystem::exists(kPython) &&
        std::system((std::string(kPython) + " -c \"import xlrd\" 2>/dev/null").c_str()) == 0;
    return available;
}

// A cell of the xlrd dump scripts' output: backslash, tab, LF and CR come
// escaped so a row stays on one line.
inline std::string unescapeDumpCell(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace chengxi::xls::testing
