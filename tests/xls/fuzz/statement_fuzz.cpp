// libFuzzer target for the workbook statements: any text must parse or
// fail cleanly, and a parsed insert rebuilt with insertStatement() must
// parse to the same values.
#include "xls/sheet_statement.h"

#include <cstdlib>
#include <string_view>

using namespace chengxi::xls;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view sql(reinterpret_cast<const char*>(data), size);
    (void)parseSelect(sql);
    auto insert = parseInsert(sql);
    if (!insert) {
        return 0;
    }
    std::vector<std::string_view> columns(insert->columns.begin(), insert->columns.end());
    auto again = parseInsert(insertStatement(columns, insert->values, insert->sheet));
    if (!again || again->values != insert->values || again->columns != insert->columns) {
        std::abort();
    }
    return 0;
}
