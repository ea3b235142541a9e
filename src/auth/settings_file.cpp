// Settings file access: whole-file reads and replace-by-rename writes.
#include "auth/settings_file.h"

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

fs::path temporaryBeside(const fs::path& file) {
    std::mt19937_64 generator(static_cast<std::uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ std::random_device{}()));
    fs::path temporary = file;
    temporary += ".~" + std::to_string(generator() % 1000000007u) + ".tmp";
    return temporary;
}

bool writeWholeFile(const fs::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return !out.fail();
}

} // namespace

std::string readSettingsValue(const fs::path& file, std::string_view section,
                              std::string_view key) {
    const std::optional<std::string> content = readWholeFile(file);
    return content ? findSettingsValue(*content, section, key) : std::string();
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

    const fs::path temporary = temporaryBeside(target);
    if (!writeWholeFile(temporary, *updated)) {
        fs::remove(temporary, error);
        return false;
    }
    if (exists) {
        fs::permissions(temporary, status.permissions(), error);
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace chengxi::auth
