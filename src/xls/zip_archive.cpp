#include "xls/zip_archive.h"

#include <zip.h>

namespace chengxi::xls {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::uint64_t kRatioFreeBytes = std::uint64_t{1} << 20;

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipFile = std::unique_ptr<zip_file_t, FileCloser>;

struct SourceFreer {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};

// Why an archive could not be opened, for the librarian.
Failure openFailure(int code, std::string_view path) {
    const std::string name = path.empty() ? std::string("工作簿") : "“" + std::string(path) + "”";
    switch (code) {
    case ZIP_ER_OPEN:
    case ZIP_ER_NOENT:
        return fail("无法打开文件" + name);
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
        return fail("无法读取文件" + name);
    case ZIP_ER_MEMORY:
        return fail("内存不足，无法读取工作簿");
    case ZIP_ER_MULTIDISK:
        return fail("工作簿是分卷压缩包，无法读取");
    case ZIP_ER_NOZIP:
        return fail("工作簿已损坏：压缩包不完整");
    default:
        return fail("工作簿已损坏：压缩包的目录有误");
    }
}

Failure readFailure(int code, std::string_view part) {
    const std::string name = "“" + std::string(part) + "”";
    switch (code) {
    case ZIP_ER_CRC:
        return fail("工作簿已损坏：部件" + name + "的校验和（CRC）不符");
    case ZIP_ER_MEMORY:
        return fail("内存不足，无法读取工作簿");
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_ENCRNOTSUPP:
        return fail("工作簿的部件" + name + "已加密，无法读取");
    case ZIP_ER_COMPNOTSUPP:
        return fail("工作簿的部件" + name + "使用了不支持的压缩方式");
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_EOF:
        return fail("工作簿已损坏：部件" + name + "不完整");
    default:
        return fail("工作簿已损坏：部件" + name + "的数据有误");
    }
}

} // namespace

void ZipArchive::Closer::operator()(zip* archive) const {
    zip_discard(archive);
}

ZipArchive::ZipArchive(zip* archive, InflateLimits limits)
    : archive_(archive), limits_(limits), buffer_(kChunkSize) {}

Result<ZipArchive> ZipArchive::openFile(std::string_view path, InflateLimits limits) {
    int code = ZIP_ER_OK;
    // libzip takes UTF-8 names on Windows too.
    zip_t* archive = zip_open(std::string(path).c_str(), ZIP_RDONLY, &code);
    if (archive == nullptr) {
        return openFailure(code, path);
    }
    return ZipArchive(archive, limits);
}

Result<ZipArchive> ZipArchive::openBytes(Bytes bytes, InflateLimits limits) {
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFreer> source(
        zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error));
    if (!source) {
        zip_error_fini(&error);
        return fail("内存不足，无法读取工作簿");
    }
    zip_t* archive = zip_open_from_source(source.get(), ZIP_RDONLY, &error);
    const int code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (archive == nullptr) {
        return openFailure(code, "");
    }
    source.release(); // the archive owns it now
    return ZipArchive(archive, limits);
}

std::int64_t ZipArchive::locate(std::string_view part) const {
    return zip_name_locate(archive_.get(), std::string(part).c_str(), ZIP_FL_NOCASE);
}

bool ZipArchive::contains(std::string_view part) const {
    return locate(part) >= 0;
}

Status ZipArchive::readPart(std::string_view part, const ChunkSink& sink) {
    const std::int64_t index = locate(part);
    if (index < 0) {
        return fail("工作簿已损坏：缺少部件“" + std::string(part) + "”");
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0) {
        return fail("工作簿已损坏：部件“" + std::string(part) + "”的目录项有误");
    }
    // Office writes only these two; others are no workbook's and would
    // escape the ratio guard (bzip2 packs a run of zeros far tighter).
    if ((stat.valid & ZIP_STAT_COMP_METHOD) == 0 ||
        (stat.comp_method != ZIP_CM_STORE && stat.comp_method != ZIP_CM_DEFLATE)) {
        return fail("工作簿的部件“" + std::string(part) + "”使用了不支持的压缩方式");
    }
    const std::uint64_t declared = (stat.valid & ZIP_STAT_SIZE) != 0 ? stat.size : 0;
    const std::uint64_t packed = (stat.valid & ZIP_STAT_COMP_SIZE) != 0 ? stat.comp_size : 0;
    const std::string tooLarge =
        "工作簿的部件“" + std::string(part) + "”解压后过大，可能是恶意构造的压缩包（“压缩炸弹”）";
    if (declared > limits_.partBytes) {
        return fail(tooLarge);
    }

    ZipFile file(zip_fopen_index(archive_.get(), static_cast<zip_uint64_t>(index), 0));
    if (!file) {
        return readFailure(zip_error_code_zip(zip_get_error(archive_.get())), part);
    }
    std::uint64_t count = 0;
    while (true) {
        const zip_int64_t got = zip_fread(file.get(), buffer_.data(), buffer_.size());
        if (got < 0) {
            return readFailure(zip_error_code_zip(zip_file_get_error(file.get())), part);
        }
        if (got == 0) {
            // libzip has checked the CRC on reaching the end.
            return {};
        }
        const auto size = static_cast<std::uint64_t>(got);
        count += size;
        inflated_ += size;
        if (count > declared) {
            return fail("工作簿已损坏：部件“" + std::string(part) + "”比目录所记的长");
        }
        if (count > limits_.partBytes || inflated_ > limits_.totalBytes ||
            (count > kRatioFreeBytes && count / limits_.ratio > packed)) {
            return fail(tooLarge);
        }
        if (!sink(std::string_view(buffer_.data(), static_cast<std::size_t>(size)))) {
            return {};
        }
    }
}

} // namespace chengxi::xls
