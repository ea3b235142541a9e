#pragma once

#include <optional>
#include <string_view>
#include <vector>

// Code 128, the barcode common USB scanners read back as typed text.
namespace chengxi::barcode {

// The widths of the bars and spaces, in modules, starting and ending with a
// bar: start code, the data, the check character and the stop code. Digits
// in pairs use code set C (half the width); everything else code set B.
// The quiet zones on either side (ten modules each) are the caller's.
// Nothing for an empty text or a character outside printable ASCII, which
// code set B cannot carry.
std::optional<std::vector<int>> encodeCode128(std::string_view text);

// The number of modules of the widths: the barcode's width without its
// quiet zones.
int moduleCount(const std::vector<int>& widths);

} // namespace chengxi::barcode
