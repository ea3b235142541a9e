#include "platform/file_facts.h"
#include "platform/file_handle_windows.h"

#include <windows.h>

namespace chengxi::platform {

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    // No access rights are asked for, so a file open elsewhere without
    // sharing (the database under SQLite) can still be looked at; backup
    // semantics let a folder be opened too.
    const FileHandle handle(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!handle.isOpen() || !GetFileInformationByHandle(handle.get(), &information)) {
        return std::nullopt;
    }
    return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                        information.nFileIndexLow};
}

bool sameFileName(const std::filesystem::path& first, const std::filesystem::path& second) {
    const std::wstring& a = first.native();
    const std::wstring& b = second.native();
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool isReadOnlyFile(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

} // namespace chengxi::platform
