#pragma once

namespace chengxi::app {
class Window;
}
namespace chengxi::store {
struct Database;
}

namespace chengxi::readers {

// Refills the reader list of the readers page from the database, with a
// running number and the books each reader still holds, and the count label.
void listReaders(app::Window& main, store::Database& database);

} // namespace chengxi::readers
