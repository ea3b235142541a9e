#include "store/transaction.h"

#include "store/connection.h"

namespace chengxi::store {

Transaction::Transaction(Connection& connection) : connection_(connection) {
    began_ = connection_.beginTransaction();
    open_ = began_;
}

Transaction::~Transaction() {
    rollback();
}

bool Transaction::commit() {
    if (!open_) {
        return false;
    }
    if (!connection_.commitTransaction()) {
        return false;
    }
    open_ = false;
    return true;
}

void Transaction::rollback() {
    if (open_) {
        connection_.rollbackTransaction();
        open_ = false;
    }
}

} // namespace chengxi::store
