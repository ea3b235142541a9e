#include "store/text_functions.h"

#include "text/gbk_search.h"

#include <sqlite3.h>
#include <string>

namespace chengxi::store {
namespace {

std::string_view textOf(sqlite3_value* value) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return bytes != nullptr
               ? std::string_view(bytes, static_cast<std::size_t>(sqlite3_value_bytes(value)))
               : std::string_view();
}

void gbkContains(sqlite3_context* context, int, sqlite3_value** arguments) {
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL ||
        sqlite3_value_type(arguments[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    // A number is read as its text, as LIKE reads it.
    const std::string_view text = textOf(arguments[0]);
    const std::string_view part = textOf(arguments[1]);
    sqlite3_result_int(context, text::containsGbkText(text, part) ? 1 : 0);
}

} // namespace

bool registerTextFunctions(sqlite3* db) {
    const std::string name(kContainsFunction);
    return sqlite3_create_function_v2(db, name.c_str(), 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                      nullptr, gbkContains, nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace chengxi::store
