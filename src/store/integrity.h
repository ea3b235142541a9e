#pragma once

#include <optional>
#include <string>
#include <vector>

namespace chengxi::store {

class Connection;

enum class Integrity {
    Sound,
    Damaged,   // a page, the schema or the file's header is damaged
    Unchecked, // the check could not run (closed, or locked by another program)
};

// SQLite's quick check of the open database (every page of every table read
// once and its structure checked), and the version bytes of the file's
// header, which SQLite only takes as "open for reading only" when they are
// wrong. Damage found is remembered by the connection.
Integrity checkIntegrity(Connection& connection);

// SQLite's full integrity check (indexes and constraints too): the faults it
// reports, empty when the database is sound; nothing when it could not run.
std::optional<std::vector<std::string>> integrityFaults(Connection& connection);

} // namespace chengxi::store
