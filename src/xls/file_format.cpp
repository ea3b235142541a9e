#include "xls/file_format.h"

#include "xls/file_io.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>

namespace chengxi::xls {
namespace {

constexpr std::array<std::uint8_t, 8> kCompoundFileSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                                0xA1, 0xB1, 0x1A, 0xE1};
// A local file header; an .xlsx starts with its first part's.
constexpr std::array<std::uint8_t, 4> kZipSignature = {'P', 'K', 0x03, 0x04};

template <std::size_t N> bool startsWith(Bytes head, const std::array<std::uint8_t, N>& signature) {
    return head.size() >= N && std::equal(signature.begin(), signature.end(), head.begin());
}

} // namespace

WorkbookFormat workbookFormatOf(Bytes head) {
    if (startsWith(head, kCompoundFileSignature)) {
        return WorkbookFormat::Xls;
    }
    if (startsWith(head, kZipSignature)) {
        return WorkbookFormat::Xlsx;
    }
    return WorkbookFormat::Unknown;
}

Result<WorkbookFormat> workbookFormatOfFile(std::string_view path) {
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) {
        return fail("无法打开文件“" + std::string(path) + "”");
    }
    std::array<char, kFormatSignatureSize> head{};
    in.read(head.data(), head.size());
    if (in.bad()) {
        return fail("无法读取文件“" + std::string(path) + "”");
    }
    return workbookFormatOf(asBytes({head.data(), static_cast<std::size_t>(in.gcount())}));
}

} // namespace chengxi::xls
