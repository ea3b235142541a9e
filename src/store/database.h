#pragma once

#include "store/connection.h"
#include "store/record_set.h"
#include "store/table_counter.h"

namespace chengxi::store {

// The three access objects of the program: one connection, one table
// counter, one shared record set, created empty at start.
struct Database {
    TableCounter counter;
    Connection connection;
    RecordSet records;

    // The main window's release: query, counter, then the connection.
    void closeAll() {
        records.close();
        counter.close();
        connection.close();
    }
};

} // namespace chengxi::store
