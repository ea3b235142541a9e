#include "platform/durable_file.h"
#include "platform/file_handle_windows.h"

#include <windows.h>

namespace chengxi::platform {

bool flushFileToDisk(const std::filesystem::path& file) {
    const FileHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle.isOpen() && FlushFileBuffers(handle.get()) != 0;
}

} // namespace chengxi::platform
