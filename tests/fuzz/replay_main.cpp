// Runs a fuzz target over saved inputs without libFuzzer: every file named on
// the command line, and every file in each folder named there. A failed
// check inside the target aborts, which fails the test; a folder that is not
// there (no crasher kept yet) is passed over, but no input at all is an error.
// As under tools/fuzz.sh, a single allocation above the fuzzer's malloc
// limit is a fault too.
#include "support/allocation_watch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsIn(const fs::path& path) {
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        return fs::is_regular_file(path, error) ? std::vector<fs::path>{path}
                                                : std::vector<fs::path>{};
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
        if (entry.is_regular_file(error)) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv) {
    // tools/fuzz.sh gives libFuzzer the same limit (-malloc_limit_mb=64).
    chengxi::testing::abortOnAllocationsAbove(std::size_t{64} << 20);
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& file : inputsIn(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            if (!in.good() && !in.eof()) {
                std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
                return 1;
            }
            // The target sees its own copy, so reading past the end shows
            // under AddressSanitizer as it would under libFuzzer.
            const std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
            LLVMFuzzerTestOneInput(copy.data(), copy.size());
            ++count;
        }
    }
    std::printf("replayed %zu inputs\n", count);
    return count > 0 ? 0 : 1;
}
