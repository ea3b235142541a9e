#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The one pattern of the program's temporary files: ".chengxi-", sixteen
// random lower-case letters and digits, ".tmp". Short enough that a file of
// any legal name can have its temporary beside it, unpredictable so that
// nobody can plant a link where the program is about to write, and one
// pattern so that leftovers are recognised and removed.
namespace chengxi::platform {

inline constexpr std::string_view kTemporaryPrefix = ".chengxi-";
inline constexpr std::string_view kTemporarySuffix = ".tmp";
inline constexpr std::size_t kTemporaryRandomLength = 16;

bool isTemporaryFileName(std::string_view name);

// A fresh name of the pattern, drawn from the operating system's random
// generator; nothing when it gives no random bytes.
std::optional<std::string> newTemporaryFileName();

// Fills `bytes` from the operating system's random generator.
bool systemRandomBytes(std::span<unsigned char> bytes);

} // namespace chengxi::platform
