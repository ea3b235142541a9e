#pragma once

namespace chengxi::store {

class Connection;

// One transaction on the connection: begun when constructed, rolled back
// when it goes out of scope without a successful commit, so no operation
// leaves a transaction open or half its statements stored.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // False when the transaction could not begin (the connection is closed,
    // or the database is locked): nothing after it would be atomic.
    bool began() const { return began_; }
    // True when everything since the beginning is stored. After a failed
    // commit the transaction is still rolled back at the end of the scope.
    bool commit();
    // Undoes everything since the beginning at once.
    void rollback();

private:
    Connection& connection_;
    bool began_ = false;
    bool open_ = false;
};

} // namespace chengxi::store
