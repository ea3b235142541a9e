#pragma once

#include "xls/result.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The statements the imports and exports run on a workbook, and nothing
// more: a sheet query, optionally limited to rows whose column is not empty,
// and an insert of one row with a column list and quoted values.
namespace chengxi::xls {

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

// An insert statement taken apart without copying: views into the
// statement's text, the values still in their quoted form ('' for an
// apostrophe). For the connection, which runs one per exported row.
struct InsertParts {
    std::string_view sheet;
    std::string_view columnList; // the text between the parentheses
    std::vector<std::string_view> columns;
    std::vector<std::string_view> quotedValues; // without the outer quotes
};
// Fills `parts` (its vectors are reused); the reason on failure.
Status scanInsert(std::string_view sql, InsertParts& parts);
// A value of InsertParts with each '' turned back into one apostrophe.
std::string unquoteValue(std::string_view quoted);

// A value between single quotes, each apostrophe doubled: O'Brien gives
// 'O''Brien'.
std::string quoteValue(std::string_view value);

// insert into [Sheet1$] ([C1],[C2]) values ('V1','V2'), values escaped.
std::string insertStatement(std::span<const std::string_view> columns,
                            std::span<const std::string> values, std::string_view sheet = "Sheet1");

} // namespace chengxi::xls
