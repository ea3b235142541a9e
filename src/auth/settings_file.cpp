// Settings file access: whole-file reads and replace-by-rename writes.
#include "auth/settings_file.h"

#include "platform/durable_file.h"

#include <chrono>
#include <fstream>
#include <random>
#include <system_error>

namespace chengxi::auth {
namespace {

namespace fs = std::filesystem;

// istream::read turns a read error (a folder, a failing disk) into badbit;
// reading through the stream buffer directly would throw instead.
std::optional<std::string> readWholeFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string content;
    char chunk[8192];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        content.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return content;
}

// A link is followed so that the file it names is updated, not replaced by a
// plain file.
fs::path resolvedTarget(const fs::path& file) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(file, error))) {
        const fs::path target = fs::weakly_canonical(file, error);
        if (!error) {
            return target;
        }
    }
    return file;
}

// Temporaries are named <file>.~<number>.tmp; one left behind by a write
// that was cut short (the program killed, the power gone) is removed by the
// next write, so they never pile up.
constexpr std::string_view kTemporaryMark = ".~";
constexpr std::string_view kTemporaryEnd = ".tmp";

fs::path temporaryBeside(const fs::path& file) {
    std::mt19937_64 generator(static_cast<std::uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ std::random_device{}()));
    fs::path temporary = file;
    temporary += std::string(kTemporaryMark) + std::to_string(generator() % 1000000007u) +
                 std::string(kTemporaryEnd);
    return temporary;
}

bool isTemporaryOf(const std::string& name, const std::string& fileName) {
    const std::string prefix = fileName + std::string(kTemporaryMark);
    if (name.size() <= prefix.size() + kTemporaryEnd.size() || !name.starts_with(prefix) ||
        !name.ends_with(kTemporaryEnd)) {
        return false;
    }
    const std::string_view number(name.data() + prefix.size(),
                                  name.size() - prefix.size() - kTemporaryEnd.size());
    return number.find_first_not_of("0123456789") == std::string_view::npos;
}

void removeStaleTemporaries(const fs::path& file) {
    const std::string fileName = file.filename().string();
    fs::path folder = file.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (isTemporaryOf(entry->path().filename().string(), fileName) &&
            entry->is_regular_file(error)) {
            fs::remove(entry->path(), error);
        }
    }
}

} // namespace

std::optional<std::string> readSettingsValue(const fs::path& file, std::string_view section,
                                             std::string_view key) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::not_found) {
        return std::string();
    }
    if (error || !fs::is_regular_file(status)) {
        return std::nullopt;
    }
    const std::optional<std::string> content = readWholeFile(file);
    if (!content) {
        return std::nullopt;
    }
    return findSettingsValue(*content, section, key);
}

bool writeSettingsValue(const fs::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    const fs::path target = resolvedTarget(file);
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    const bool exists = fs::exists(status);
    if (error && !exists && status.type() != fs::file_type::not_found) {
        return false;
    }

    std::string content;
    if (exists) {
        if (!fs::is_regular_file(status)) {
            return false;
        }
        std::optional<std::string> existing = readWholeFile(target);
        // Opening for appending writes nothing; it only asks whether the file
        // may be written, so a read-only settings file stays untouched.
        if (!existing || !std::ofstream(target, std::ios::binary | std::ios::app)) {
            return false;
        }
        content = std::move(*existing);
    }

    const std::optional<std::string> updated = withSettingsValue(content, section, key, value);
    if (!updated) {
        return false;
    }

    removeStaleTemporaries(target);
    const fs::path temporary = temporaryBeside(target);
    if (!platform::writeFileDurably(temporary, *updated)) {
        fs::remove(temporary, error);
        return false;
    }
    if (exists) {
        fs::permissions(temporary, status.permissions(), error);
    }
    if (!platform::renameDurably(temporary, target)) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace chengxi::auth
