#pragma once

#include <string_view>

struct sqlite3;

namespace chengxi::store {

// gbk_contains(text, part): 1 when `part` occurs in `text` on whole code page
// 936 characters (see text::containsGbkText), 0 when not, NULL when either is
// NULL. SQLite's own LIKE reads the stored GBK bytes as UTF-8, so it could
// match half a character; `%` and `_` in a typed text are no wildcards here.
inline constexpr std::string_view kContainsFunction = "gbk_contains";

// Makes the functions above available on the connection; true on success.
bool registerTextFunctions(sqlite3* db);

} // namespace chengxi::store
