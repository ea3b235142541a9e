#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The stored password text: value "pass" of section "login" of the settings
// file, raw code page 936 bytes (the password cipher's output), never passed
// through a code-page conversion.
namespace chengxi::auth {

inline constexpr std::string_view kPasswordSection = "login";
inline constexpr std::string_view kPasswordKey = "pass";

// Where the settings file lives by default: c:\mzqk.ini on Windows; elsewhere
// mzqk.ini in $XDG_CONFIG_HOME when that is an absolute path, else in
// $HOME/.config (mzqk.ini in the working folder when neither is known).
std::filesystem::path defaultSettingsPath();

// The stored password text; empty when the file, section or key is missing
// (the first-use case); nothing when the file is there but cannot be read.
std::optional<std::string> readStoredPassword(const std::filesystem::path& settingsFile);

// Stores the password text, creating the file's folder, the file, the
// section or the key as needed. False when it could not be written; the file
// is then left as it was.
bool writeStoredPassword(const std::filesystem::path& settingsFile, std::string_view cipherText);

// The stored password text that comes back after writing `cipherText`: cut
// at a zero byte, then at CR or LF, blanks trimmed, one pair of equal outer
// quotes removed, at most 10239 bytes. Comparing the cipher text of a typed
// password through this with readStoredPassword() accepts exactly the
// passwords the stored value stands for.
std::string asReadBack(std::string_view cipherText);

// True when `cipherOutput` would come back from the settings file intact and
// could be told apart from "no password yet": it is not empty and
// asReadBack() leaves it unchanged. Pass the whole cipher output
// (encipherPasswordBlocks), so that a zero byte anywhere in it, which would
// silently shorten the stored text and weaken the password, is refused too;
// an output whose first byte is zero would store an empty text, which the
// next login takes for first use.
bool survivesStorage(std::string_view cipherOutput);

} // namespace chengxi::auth
