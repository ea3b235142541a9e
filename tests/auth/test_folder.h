#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>

namespace chengxi::auth::testing {

// A fresh folder under the system's temporary folder, removed afterwards.
class TestFolder {
public:
    TestFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::random_device entropy;
        path_ = std::filesystem::temp_directory_path() /
                ("chengxi-auth-" + std::string(test->name()) + "-" + std::to_string(entropy()));
        std::filesystem::create_directories(path_);
    }
    ~TestFolder() {
        std::error_code error;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path_, error);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether a file can be made in the folder, tried for real: permission bits
// do not stop an administrator, so tests that rely on them check first.
inline bool canCreateFileIn(const std::filesystem::path& folder) {
    const std::filesystem::path probe = folder / "probe";
    const bool created = static_cast<bool>(std::ofstream(probe));
    std::error_code error;
    std::filesystem::remove(probe, error);
    return created;
}

} // namespace chengxi::auth::testing
