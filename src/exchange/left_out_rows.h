#pragma once

#include "store/value.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace chengxi::ui {
struct Services;
}

namespace chengxi::exchange {

// The first character among the texts of `values` that code page 936 cannot
// hold (as UTF-8); nothing when every value can be stored as it is.
std::optional<std::string> firstUnstorableCharacter(std::span<const store::Value> values);

// Sheet rows an import leaves out because a cell holds a character the
// database cannot store: such a row is never stored with "?" in its place.
// The librarian hears about all of them once, when the import ends.
class LeftOutRows {
public:
    // `sheetRow` is 0-based, row 0 holding the column names.
    void add(std::uint32_t sheetRow, std::string character);
    int count() const { return count_; }

    // "有 N 行……": how many rows were left out, the first such character and
    // its row as the spreadsheet numbers it. Shows nothing when none was.
    void report(const ui::Services& services) const;

private:
    int count_ = 0;
    std::uint32_t firstRow_ = 0;
    std::string firstCharacter_;
};

} // namespace chengxi::exchange
