// Settings file access: whole-file reads and replace-by-rename writes.
#include "auth/settings_file.h"

#include "platform/temporary_file.h"

#include <fstream>
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

    // A temporary left by a write that was cut short goes before the next one.
    const fs::path folder = target.parent_path();
    platform::removeStaleTemporaryFiles(folder);
    std::optional<platform::TemporaryFile> temporary =
        platform::TemporaryFile::create(folder, platform::FileAccess::Private);
    return temporary && temporary->write(*updated) && temporary->flushToDisk() &&
           temporary->replace(target);
}

} // namespace chengxi::auth
