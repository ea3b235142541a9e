#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace chengxi::ui {
struct Services;
}

namespace chengxi::exchange {

// Why an export must not write its workbook at `path`, in words for the
// librarian; nothing when it may. Refused are the files the program holds
// (the database and its journal, the settings file with the password),
// under any spelling of their path and through any link, and a read-only
// file, which the export would otherwise replace.
std::optional<std::string> exportTargetRefusal(const ui::Services& services, std::string_view path);

} // namespace chengxi::exchange
