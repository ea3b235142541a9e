#include "xls/file_io.h"

#include "platform/file_facts.h"
#include "platform/temporary_file.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <system_error>

namespace chengxi::xls {

std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string pathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

Result<std::string> readFileBytes(const std::filesystem::path& path, std::size_t limit) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return fail("“" + pathToUtf8(path) + "”是文件夹，不是文件");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return fail("无法打开文件“" + pathToUtf8(path) + "”");
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) {
        return fail("无法读取文件“" + pathToUtf8(path) + "”");
    }
    if (static_cast<std::uint64_t>(size) > limit) {
        return fail("文件“" + pathToUtf8(path) + "”太大，不是 Excel 97-2003 工作簿");
    }
    in.seekg(0, std::ios::beg);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), size)) {
        return fail("无法读取文件“" + pathToUtf8(path) + "”");
    }
    return bytes;
}

Status replaceFileBy(const std::filesystem::path& path,
                     const std::function<Status(platform::TemporaryFile&)>& write) {
    // Renaming would replace a read-only file; opening it for writing would not.
    if (platform::isReadOnlyFile(path)) {
        return fail("文件“" + pathToUtf8(path) + "”是只读的，不能替换");
    }
    const std::filesystem::path folder = path.parent_path();
    // A temporary left by an export that was killed goes before the next one.
    platform::removeStaleTemporaryFiles(folder);
    std::optional<platform::TemporaryFile> temporary =
        platform::TemporaryFile::create(folder, platform::FileAccess::Shared);
    if (!temporary) {
        return fail("写入文件“" + pathToUtf8(path) + "”失败，磁盘可能已满");
    }
    if (Status written = write(*temporary); !written) {
        return written;
    }
    // Flushed before it takes the name: after a crash or a power cut the
    // file is the old one or the new one, never a part of either.
    if (!temporary->flushToDisk()) {
        return fail("写入文件“" + pathToUtf8(path) + "”失败，磁盘可能已满");
    }
    if (!temporary->replace(path)) {
        return fail("无法替换文件“" + pathToUtf8(path) + "”，它可能正被其他程序使用");
    }
    return {};
}

Status replaceFile(const std::filesystem::path& path, std::string_view bytes) {
    return replaceFileBy(path, [&](platform::TemporaryFile& temporary) -> Status {
        if (!temporary.write(bytes)) {
            return fail("写入文件“" + pathToUtf8(path) + "”失败，磁盘可能已满");
        }
        return {};
    });
}

} // namespace chengxi::xls
