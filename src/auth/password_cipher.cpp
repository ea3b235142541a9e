#include "auth/password_cipher.h"

#include "text/cp936.h"

#include <cstdint>

namespace chengxi::auth {
namespace {

std::uint8_t reversedBits(std::uint8_t byte) {
    std::uint8_t reversed = 0;
    for (int bit = 0; bit < 8; ++bit) {
        reversed = static_cast<std::uint8_t>((reversed << 1) | ((byte >> bit) & 1));
    }
    return reversed;
}

std::string upToFirstZero(const std::string& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

} // namespace

DesKey cipherKey(std::string_view keyText) {
    DesKey key{};
    for (std::size_t i = 0; i < keyText.size(); ++i) {
        key[i % key.size()] ^= static_cast<std::uint8_t>(keyText[i]);
    }
    for (std::uint8_t& byte : key) {
        byte = reversedBits(byte);
    }
    return key;
}

std::string encipherPasswordBlocks(std::string_view passwordBytes) {
    const std::size_t n = passwordBytes.size();
    const std::size_t blockBytes = (n + 4 + 7) / 8 * 8;

    std::string buffer(blockBytes, '\0');
    const auto length = static_cast<std::uint32_t>(n);
    for (int i = 0; i < 4; ++i) {
        buffer[static_cast<std::size_t>(i)] = static_cast<char>((length >> (8 * i)) & 0xFF);
    }
    buffer.replace(4, n, passwordBytes);

    static const DesKey key = cipherKey(kCipherKeyText);
    return desEcbEncrypt(key, buffer);
}

std::string passwordCipher(std::string_view passwordBytes) {
    return upToFirstZero(encipherPasswordBlocks(passwordBytes));
}

std::string TypedPasswordCipher::text() const {
    return upToFirstZero(blocks);
}

TypedPasswordCipher cipherOfTypedPassword(std::string_view utf8) {
    const text::Cp936Bytes encoded = text::toCp936(utf8);
    if (!encoded.ok()) {
        return {{}, encoded.unencodable};
    }
    return {encipherPasswordBlocks(encoded.bytes), {}};
}

} // namespace chengxi::auth
