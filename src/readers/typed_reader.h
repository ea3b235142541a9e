#pragma once

#include "ui/services.h"

#include <optional>
#include <string>

namespace chengxi::readers {

// A reader as typed in the class, name and card boxes of the readers page.
struct TypedReader {
    std::string readerClass;
    std::string name;
    std::string card;
};

// The typed reader when every box holds text the database can store;
// otherwise the librarian is told what is wrong and nothing is returned.
std::optional<TypedReader> typedReader(const ui::Services& services);

} // namespace chengxi::readers
