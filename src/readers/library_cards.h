#pragma once

#include "ui/printout.h"

#include <string>
#include <string_view>
#include <vector>

namespace chengxi::readers {

struct CardHolder {
    std::string readerClass;
    std::string name;
    std::string card;
};

// Library cards of the credit-card size, ten to an A4 page in two columns,
// each framed for cutting: the school's and library's name, class, name, and
// the card number as text and as a Code 128 barcode. A card number the
// barcode cannot carry (a character outside ASCII) gets a line saying so.
ui::Printout libraryCards(const std::vector<CardHolder>& holders, std::string_view school);

} // namespace chengxi::readers
