#pragma once

#include "store/value.h"
#include "xls/workbook.h"
#include "xls/workbook_connection.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::ui {
struct Services;
}

namespace chengxi::exchange {

struct UnstorableCharacter {
    std::size_t column = 0; // index into the values
    std::string character;  // as UTF-8
};

// The first character among the texts of `values` that code page 936 cannot
// hold; nothing when every value can be stored as it is.
std::optional<UnstorableCharacter> firstUnstorableCharacter(std::span<const store::Value> values);

// Sheet rows an import leaves out because a cell holds a character the
// database cannot store: such a row is never stored with "?" in its place.
// The librarian hears about all of them once, when the import ends.
class LeftOutRows {
public:
    // `columns`: the import's column names, in the order it reads them.
    explicit LeftOutRows(std::span<const std::string_view> columns);

    // Leaves out the current row of `query`, whose value in `character.column`
    // holds that character; keeps its cells as read.
    void add(const xls::WorkbookConnection& workbook, xls::QueryHandle query,
             const UnstorableCharacter& character);
    std::size_t count() const { return count_; }

    // Writes the rows to 导入未成功的行.xls (beside `importedPath`, else in
    // the data folder), then says how many rows were left out and where they
    // are, or why they could not be written. Shows nothing when none was.
    void report(const ui::Services& services, std::string_view importedPath) const;

private:
    std::span<const std::string_view> columns_;
    // Built as rows come, so the rows are held once, in the workbook's pool.
    xls::Workbook book_;
    std::vector<std::string> cells_; // reused from row to row
    std::size_t count_ = 0;
    std::uint32_t firstRow_ = 0;
    std::string firstCharacter_;
};

} // namespace chengxi::exchange
