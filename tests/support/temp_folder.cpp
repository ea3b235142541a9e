#include "support/temp_folder.h"

#include "text/file_path.h"

#include <random>
#include <stdexcept>

namespace chengxi::scenario {

TempFolder::TempFolder(const std::string& prefix) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = base / (prefix + "-" + std::to_string(random() % 100000000000ULL));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    if (!keep_) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

std::string TempFolder::utf8() const {
    return text::fromPath(path_);
}

} // namespace chengxi::scenario
