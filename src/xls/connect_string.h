#pragma once

#include <optional>
#include <string>
#include <string_view>

// The connect string that names a workbook, as the import and export
// operations build it from the chosen path.
namespace chengxi::xls {

// The text of `path` up to and including its last "\". The path is scanned
// as code page 936 bytes, stepping over both bytes of every double-byte
// character, so the second byte of a character such as 誠 (0xD5 0x5C) is
// never taken for a separator. Empty when the path has no "\".
std::string connectFolder(std::string_view path);

// "ODBC;DBQ=" + path + ";DefaultDir=" + folder + the fixed driver settings,
// with the user name admin.
std::string connectString(std::string_view path);

// The workbook path a connect string names (its DBQ part); nothing when it
// names none. A path holding ";" is recovered whole from a string built by
// connectString().
std::optional<std::string> workbookPathOf(std::string_view connectString);

} // namespace chengxi::xls
