#include "library/schema.h"

namespace chengxi::library {

std::string columnList(const TableDefinition& table) {
    std::string list;
    for (const std::string_view column : table.columns) {
        list += (list.empty() ? "" : ",") + std::string(column);
    }
    return list;
}

} // namespace chengxi::library
