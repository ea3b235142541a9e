#include "platform/temporary_name.h"

#include <array>

namespace chengxi::platform {
namespace {

constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
// The largest multiple of the alphabet's size that a byte holds: bytes at or
// above it are drawn again, so that every character is equally likely.
constexpr unsigned kUnbiasedLimit = 256 / kAlphabet.size() * kAlphabet.size();

} // namespace

bool isTemporaryFileName(std::string_view name) {
    if (name.size() != kTemporaryPrefix.size() + kTemporaryRandomLength + kTemporarySuffix.size() ||
        !name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) {
        return false;
    }
    const std::string_view random = name.substr(kTemporaryPrefix.size(), kTemporaryRandomLength);
    return random.find_first_not_of(kAlphabet) == std::string_view::npos;
}

std::optional<std::string> newTemporaryFileName() {
    std::string name(kTemporaryPrefix);
    std::array<unsigned char, 64> bytes{};
    while (name.size() < kTemporaryPrefix.size() + kTemporaryRandomLength) {
        if (!systemRandomBytes(bytes)) {
            return std::nullopt;
        }
        for (const unsigned char byte : bytes) {
            if (byte < kUnbiasedLimit &&
                name.size() < kTemporaryPrefix.size() + kTemporaryRandomLength) {
                name += kAlphabet[byte % kAlphabet.size()];
            }
        }
    }
    return name + std::string(kTemporarySuffix);
}

} // namespace chengxi::platform
