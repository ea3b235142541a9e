#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A settings (INI) file read and written on raw bytes by the rules of the
// Windows private-profile functions, identically on every platform:
// - a line ends at CR, LF or CR LF;
// - blanks (space, TAB, VT) around section names, key names and values are
//   ignored; names match without regard to ASCII case;
// - "[name]" opens a section (without "]" the rest of the line is the name);
//   a line whose first non-blank character is ";" is a comment; a key line is
//   "key=value" split at its first "="; lines without "=" hold no value, and
//   lines before the first section hold none either;
// - only the first section of a name is searched, and its first key wins;
// - a value enclosed in one pair of equal quotes (" or ') loses that pair;
// - a value is read into a buffer of kSettingsValueBuffer bytes, so at most
//   one byte less comes back.
namespace chengxi::auth {

inline constexpr std::size_t kSettingsValueBuffer = 10240;

// What reading gives back for a value written as `written`: a zero byte ends
// it (the platform's texts are zero-terminated), a CR or LF ends its line,
// then blanks are trimmed, one pair of equal outer quotes is removed and the
// result is cut to fit the buffer.
std::string valueAsReadBack(std::string_view written);

// The value of `key` in `section` of settings file content; empty when the
// section or key is missing. Only spaces are stripped from the requested
// names before matching; an empty name finds nothing.
std::string findSettingsValue(std::string_view content, std::string_view section,
                              std::string_view key);

// The content with `key` in `section` set to `value`:
// - an existing key line becomes "<its key as spelled>=value", keeping its own
//   line end; every other line keeps its bytes and order;
// - a new key goes after the last non-blank line of the first such section
//   (after the header when it has none), ending in CR LF;
// - a new section goes at the end as "[section]" CR LF "key=value" CR LF.
// The value goes in byte for byte (CR and LF included) up to a zero byte,
// which ends it. A last line without a line end gets CR LF before anything is
// added after it. Nothing when a name cannot be written so that it is found
// again: empty, or holding CR, LF or a zero byte, blanks other than spaces at
// either end, "]" in a section name, "=" in a key or a key starting with ";"
// or "[".
std::optional<std::string> withSettingsValue(std::string_view content, std::string_view section,
                                             std::string_view key, std::string_view value);

// Reads a value from the file; a missing file reads as empty. Nothing when
// the file is there but cannot be read (a folder of that name, no permission,
// a loop of links), so that such a file is not taken for a missing one.
std::optional<std::string> readSettingsValue(const std::filesystem::path& file,
                                             std::string_view section, std::string_view key);

// Writes a value into the file, creating the file, section or key as needed
// (see withSettingsValue). The new content goes to a temporary file beside
// it that then replaces the file, so a failure leaves the old file as it was.
// A new file is for the user alone; a replaced one keeps its permissions.
// False when the names cannot be written, the existing file cannot be read
// or is not writable, or the folder cannot take the new file.
bool writeSettingsValue(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);

} // namespace chengxi::auth
