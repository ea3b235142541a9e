#pragma once

#include <filesystem>
#include <string>

namespace chengxi::scenario {

// A new, empty folder under the system's temporary folder, removed again
// unless it is to be kept.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string utf8() const;
    void keep() { keep_ = true; }

private:
    std::filesystem::path path_;
    bool keep_ = false;
};

} // namespace chengxi::scenario
