#include "platform/file_handle_windows.h"
#include "platform/private_files.h"
#include "platform/private_security_windows.h"

#include <windows.h>

namespace chengxi::platform {

bool createPrivateFileIfMissing(const std::filesystem::path& file) {
    PrivateSecurity security(PrivateSecurity::Kind::File);
    // CREATE_NEW never opens an existing name, a link included.
    const FileHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, security.attributes(),
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.isOpen()) {
        return true;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

bool createPrivateFolders(const std::filesystem::path& folder) {
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error)) {
        return !folder.empty();
    }
    const std::filesystem::path above = folder.parent_path();
    if (above != folder && !above.empty() && !createPrivateFolders(above)) {
        return false;
    }
    PrivateSecurity security(PrivateSecurity::Kind::Folder);
    return CreateDirectoryW(folder.c_str(), security.attributes()) != 0 ||
           std::filesystem::is_directory(folder, error);
}

} // namespace chengxi::platform
