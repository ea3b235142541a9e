#include "platform/file_handle_windows.h"
#include "platform/private_security_windows.h"
#include "platform/temporary_file.h"
#include "platform/temporary_name.h"

#include <windows.h>

// bcrypt.h takes its types from windows.h.
#include <bcrypt.h>

namespace chengxi::platform {
namespace {

namespace fs = std::filesystem;

// Names are drawn again when one is taken; a hundred taken random names in a
// row mean something else is wrong.
constexpr int kCreateAttempts = 100;

HANDLE asHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool isNameTaken(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

} // namespace

bool systemRandomBytes(std::span<unsigned char> bytes) {
    while (!bytes.empty()) {
        const ULONG chunk = static_cast<ULONG>(bytes.size() > 1u << 20 ? 1u << 20 : bytes.size());
        if (!BCRYPT_SUCCESS(
                BCryptGenRandom(nullptr, bytes.data(), chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            return false;
        }
        bytes = bytes.subspan(chunk);
    }
    return true;
}

TemporaryFile::TemporaryFile(fs::path path, std::intptr_t handle)
    : path_(std::move(path)), handle_(handle) {}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : path_(std::move(other.path_)), handle_(other.handle_), placed_(other.placed_) {
    other.path_.clear();
    other.handle_ = -1;
}

TemporaryFile::~TemporaryFile() {
    close();
    if (!placed_ && !path_.empty()) {
        DeleteFileW(path_.c_str());
    }
}

void TemporaryFile::close() {
    if (handle_ != -1) {
        CloseHandle(asHandle(handle_));
        handle_ = -1;
    }
}

std::optional<TemporaryFile> TemporaryFile::create(const fs::path& folder, FileAccess access) {
    PrivateSecurity security(PrivateSecurity::Kind::File);
    SECURITY_ATTRIBUTES* attributes =
        access == FileAccess::Private ? security.attributes() : nullptr;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        const std::optional<std::string> name = newTemporaryFileName();
        if (!name) {
            return std::nullopt;
        }
        fs::path path = folder / fs::path(*name);
        // CREATE_NEW never opens an existing name, a link included. Others
        // may read and write (SQLite opens a backup's file while it is held)
        // but not delete: a clean-up cannot take it while it is written.
        FileHandle handle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, attributes, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (handle.isOpen()) {
            return TemporaryFile(std::move(path),
                                 reinterpret_cast<std::intptr_t>(handle.release()));
        }
        if (!isNameTaken(GetLastError())) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool TemporaryFile::write(std::string_view bytes) {
    if (handle_ == -1) {
        return false;
    }
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() > 1u << 30 ? 1u << 30 : bytes.size());
        DWORD written = 0;
        if (!WriteFile(asHandle(handle_), bytes.data(), chunk, &written, nullptr)) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool TemporaryFile::flushToDisk() {
    return handle_ != -1 && FlushFileBuffers(asHandle(handle_)) != 0;
}

bool TemporaryFile::replace(const fs::path& target) {
    if (handle_ == -1 || placed_) {
        return false;
    }
    // A file is renamed only once no handle without delete sharing is open.
    close();
    // ReplaceFileW keeps the replaced file's security and attributes; it
    // needs that file to exist.
    const bool moved = ReplaceFileW(target.c_str(), path_.c_str(), nullptr,
                                    REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ||
                       (GetLastError() == ERROR_FILE_NOT_FOUND &&
                        MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH));
    placed_ = moved;
    return moved;
}

Placement TemporaryFile::placeAsNew(const fs::path& target) {
    if (placed_ || path_.empty()) {
        return Placement::Failed;
    }
    close();
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any existing name.
    if (MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        placed_ = true;
        return Placement::Placed;
    }
    return isNameTaken(GetLastError()) ? Placement::NameTaken : Placement::Failed;
}

void removeStaleTemporaryFiles(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator entry(folder.empty() ? fs::path(".") : folder, error), end;
         !error && entry != end; entry.increment(error)) {
        const fs::path& file = entry->path();
        // UTF-8 always converts; the ANSI code page may lack a character.
        const std::u8string name = file.filename().u8string();
        if (!isTemporaryFileName(
                std::string_view(reinterpret_cast<const char*>(name.data()), name.size()))) {
            continue;
        }
        const DWORD attributes = GetFileAttributesW(file.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES ||
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
            continue;
        }
        // Fails on a file its writer holds open: it is being written.
        DeleteFileW(file.c_str());
    }
}

} // namespace chengxi::platform
