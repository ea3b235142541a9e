#pragma once

#include "auth/des_ecb.h"

#include <string>
#include <string_view>

namespace chengxi::auth {

// The key text of the password cipher and the password set on first use.
inline constexpr std::string_view kCipherKeyText = "58204716";
inline constexpr std::string_view kDefaultPassword = "ruvok";

// The DES key made from a key text: its bytes folded into eight by XOR (byte
// i goes to position i mod 8), then each byte's bit order reversed. DES thus
// sees the key text's low bits first, and ignores their top bits as parity.
DesKey cipherKey(std::string_view keyText);

// The whole cipher output for password bytes P of length n: the buffer
// [n as 32-bit little-endian][P][zeros up to a multiple of 8] enciphered with
// DES in ECB mode under cipherKey(kCipherKeyText). May contain zero bytes.
std::string encipherPasswordBlocks(std::string_view passwordBytes);

// The stored password text for password bytes: the cipher output up to its
// first zero byte (empty when the first byte is zero).
std::string passwordCipher(std::string_view passwordBytes);

// A password as typed (UTF-8) converted to code page 936 and enciphered.
struct TypedPasswordCipher {
    // The whole cipher output (encipherPasswordBlocks), zero bytes included.
    std::string blocks;
    // The first character code page 936 cannot hold; when set, `blocks` is
    // empty: such a password is never enciphered with a "?" in its place.
    std::string unencodable;

    bool ok() const { return unencodable.empty(); }
    // The stored password text (passwordCipher of the code page 936 bytes).
    std::string text() const;
};

TypedPasswordCipher cipherOfTypedPassword(std::string_view utf8);

} // namespace chengxi::auth
