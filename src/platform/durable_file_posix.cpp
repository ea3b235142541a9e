#include "platform/durable_file.h"
#include "platform/file_descriptor_posix.h"

#include <fcntl.h>
#include <unistd.h>

namespace chengxi::platform {

bool flushFileToDisk(const std::filesystem::path& file) {
    const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    return fd.isOpen() && ::fsync(fd.get()) == 0;
}

} // namespace chengxi::platform
