// Code page 936 through the C library's iconv (glibc's CP936 is the GBK table).
#include "text/cp936.h"
#include "text/utf8.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace chengxi::text {
namespace {

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// One conversion descriptor per direction and thread, opened once: opening
// costs far more than converting a short text.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("iconv cannot convert between CP936 and UTF-8");
        }
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible. Returns the number of input bytes consumed;
    // stops at the first byte sequence the target cannot take.
    std::size_t convert(std::string_view in, std::string& out) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                break;
            }
        }
        return in.size() - inLeft;
    }

private:
    iconv_t handle_;
};

Converter& encoder() {
    thread_local Converter converter("CP936", "UTF-8");
    return converter;
}

Converter& decoder() {
    thread_local Converter converter("UTF-8", "CP936");
    return converter;
}

} // namespace

Cp936Bytes toCp936(std::string_view utf8) {
    Cp936Bytes result;
    if (isAscii(utf8)) {
        result.bytes = utf8;
        return result;
    }
    result.bytes.reserve(utf8.size());
    const std::size_t consumed = encoder().convert(utf8, result.bytes);
    if (consumed < utf8.size()) {
        std::size_t pos = consumed;
        decodeUtf8(utf8, pos);
        result.unencodable = utf8.substr(consumed, pos - consumed);
    }
    return result;
}

bool isCp936Encodable(std::string_view utf8) {
    return toCp936(utf8).ok();
}

std::string fromCp936(std::string_view bytes) {
    if (isAscii(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    while (!bytes.empty()) {
        const std::size_t consumed = decoder().convert(bytes, out);
        if (consumed == bytes.size()) {
            break;
        }
        appendUtf8(out, 0xFFFD);
        bytes.remove_prefix(consumed + 1);
    }
    return out;
}

} // namespace chengxi::text
