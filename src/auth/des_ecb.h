#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace chengxi::auth {

using DesKey = std::array<std::uint8_t, 8>;

// Plain DES (FIPS 46-3) in ECB mode: each 8-byte block enciphered on its own,
// byte 0 of a block being its most significant byte. The parity bits of the
// key are ignored, and weak keys encipher like any other key. `blocks` must
// be a whole number of blocks; an incomplete last block is returned unchanged.
std::string desEcbEncrypt(const DesKey& key, std::string_view blocks);

} // namespace chengxi::auth
