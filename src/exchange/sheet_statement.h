#pragma once

#include "exchange/result.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The statements the imports and exports run on a workbook, and nothing
// more: a sheet query, optionally limited to rows whose column is not empty,
// and an insert of one row with a column list and quoted values.
namespace chengxi::exchange {

// select * from [NAME$]  [where [COLUMN] is not NULL]
struct SelectStatement {
    std::string sheet;
    std::optional<std::string> notNullColumn;
};

// insert into [NAME$] ([C1],[C2],...) values ('V1','V2',...)
struct InsertStatement {
    std::string sheet;
    std::vector<std::string> columns;
    std::vector<std::string> values;
};

// Keywords in any letter case, any blanks between the parts, names in
// brackets, values in single quotes with '' standing for one apostrophe.
Result<SelectStatement> parseSelect(std::string_view sql);
Result<InsertStatement> parseInsert(std::string_view sql);

// A value between single quotes, each apostrophe doubled: O'Brien gives
// 'O''Brien'.
std::string quoteValue(std::string_view value);

// insert into [Sheet1$] ([C1],[C2]) values ('V1','V2'), values escaped.
std::string insertStatement(std::span<const std::string_view> columns,
                            std::span<const std::string> values, std::string_view sheet = "Sheet1");

} // namespace chengxi::exchange
