#include "text/list_column.h"

namespace chengxi::text {

std::vector<std::string> splitListColumn(std::string_view list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (std::size_t bar = list.find('|'); bar != std::string_view::npos;
         bar = list.find('|', start)) {
        items.emplace_back(list.substr(start, bar - start));
        start = bar + 1;
    }
    if (start < list.size()) {
        items.emplace_back(list.substr(start));
    }
    return items;
}

} // namespace chengxi::text
