#include "store/statement_cache.h"

namespace chengxi::store::detail {

sqlite3_stmt* StatementCache::find(std::string_view sql) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->sql == sql) {
            entries_.splice(entries_.begin(), entries_, it);
            return entries_.front().statement.get();
        }
    }
    return nullptr;
}

sqlite3_stmt* StatementCache::insert(std::string sql, StatementHandle statement) {
    entries_.push_front(Entry{std::move(sql), std::move(statement)});
    while (entries_.size() > capacity_) {
        entries_.pop_back();
    }
    return entries_.front().statement.get();
}

} // namespace chengxi::store::detail
