#include "xls/connect_string.h"

#include "text/cp936.h"
#include "xls/utf16.h"

namespace chengxi::xls {
namespace {

constexpr std::string_view kPrefix = "ODBC;DBQ=";
constexpr std::string_view kDefaultDir = ";DefaultDir=";
constexpr std::string_view kDriverSettings =
    ";Driver={Microsoft Excel Driver (*.xls)};DriverId=790;FIL=excel "
    "8.0;MaxBufferSize=2048;MaxScanRows=8;"
    "PageTimeout=5;ReadOnly=0;SafeTransactions=0;Threads=3;UID=";
constexpr std::string_view kUserName = "admin";
constexpr std::string_view kTail = ";UserCommitSync=Yes;";

// Length of the prefix of `bytes` up to and including the last "\", taking
// every lead byte (0x81 to 0xFE) together with the byte after it.
std::size_t folderLength(std::string_view bytes, bool doubleByte) {
    std::size_t length = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (doubleByte && byte >= 0x81 && byte <= 0xFE && i + 1 < bytes.size()) {
            i += 2;
            continue;
        }
        if (byte == '\\') {
            length = i + 1;
        }
        ++i;
    }
    return length;
}

} // namespace

std::string connectFolder(std::string_view path) {
    const text::Cp936Bytes encoded = text::toCp936(path);
    if (!encoded.ok()) {
        // A character outside code page 936: UTF-8 never uses the byte of
        // "\" inside a character, so the plain scan gives the same folder.
        return std::string(path.substr(0, folderLength(path, false)));
    }
    return text::fromCp936(
        std::string_view(encoded.bytes).substr(0, folderLength(encoded.bytes, true)));
}

std::string connectString(std::string_view path) {
    std::string text;
    text.reserve(kPrefix.size() + 2 * path.size() + 256);
    text += kPrefix;
    text += path;
    text += kDefaultDir;
    text += connectFolder(path);
    text += kDriverSettings;
    text += kUserName;
    text += kTail;
    return text;
}

std::optional<std::string> workbookPathOf(std::string_view connect) {
    // The exact shape connectString() builds, whatever the path holds.
    if (connect.size() >= kPrefix.size() &&
        equalsIgnoringAsciiCase(connect.substr(0, kPrefix.size()), kPrefix)) {
        const std::string_view rest = connect.substr(kPrefix.size());
        for (std::size_t at = rest.find(kDefaultDir); at != std::string_view::npos;
             at = rest.find(kDefaultDir, at + 1)) {
            const std::string_view path = rest.substr(0, at);
            const std::string_view after = rest.substr(at + kDefaultDir.size());
            const std::string folder = connectFolder(path);
            if (after.starts_with(folder) &&
                after.substr(folder.size()).starts_with(kDriverSettings)) {
                return std::string(path);
            }
        }
    }
    // Otherwise: the DBQ value, up to the next ";".
    std::size_t pos = 0;
    while (pos < connect.size()) {
        std::size_t end = connect.find(';', pos);
        if (end == std::string_view::npos) {
            end = connect.size();
        }
        const std::string_view part = connect.substr(pos, end - pos);
        if (part.size() >= 4 && equalsIgnoringAsciiCase(part.substr(0, 4), "DBQ=")) {
            if (part.size() == 4) {
                return std::nullopt;
            }
            return std::string(part.substr(4));
        }
        pos = end + 1;
    }
    return std::nullopt;
}

} // namespace chengxi::xls
