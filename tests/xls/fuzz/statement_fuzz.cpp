// Fuzz target for the workbook statements, two ways at once:
// - the input as a statement: any text must parse or fail with a reason, and
//   a parsed statement built again must parse to the same parts;
// - the input as parts (fields ended by a 0xFF byte: the sheet, then column
//   and value in turn): the statements the exports and imports build from
//   any names and values must parse back to exactly those, so a value with
//   apostrophes, brackets or line breaks cannot change a statement's shape.
#include "xls/sheet_statement.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace chengxi::xls;

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "statement fuzz check failed: %s\n", what);
        std::abort();
    }
}

std::string selectStatement(std::string_view sheet, const std::optional<std::string>& column) {
    std::string sql = "select * from [" + std::string(sheet) + "$]";
    if (column) {
        sql += "  where [" + *column + "] is not NULL";
    }
    return sql;
}

void checkAsStatement(std::string_view sql) {
    if (auto select = parseSelect(sql)) {
        auto again = parseSelect(selectStatement(select->sheet, select->notNullColumn));
        check(again && again->sheet == select->sheet &&
                  again->notNullColumn == select->notNullColumn,
              "a parsed select rebuilds to itself");
    } else {
        check(!select.error().empty(), "a failed select says why");
    }
    auto insert = parseInsert(sql);
    if (!insert) {
        check(!insert.error().empty(), "a failed insert says why");
        return;
    }
    check(insert->columns.size() == insert->values.size(), "one value per column");
    const std::vector<std::string_view> columns(insert->columns.begin(), insert->columns.end());
    auto again = parseInsert(insertStatement(columns, insert->values, insert->sheet));
    check(again && again->sheet == insert->sheet && again->columns == insert->columns &&
              again->values == insert->values,
          "a parsed insert rebuilds to itself");
}

std::vector<std::string> fieldsOf(std::string_view input) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end = input.find('\xFF'); end != std::string_view::npos;
         end = input.find('\xFF', start)) {
        fields.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

// A name in brackets cannot hold "]"; everything else goes.
std::string asName(std::string text) {
    std::erase(text, ']');
    return text;
}

void checkAsParts(std::string_view input) {
    const std::vector<std::string> fields = fieldsOf(input);
    if (fields.size() < 3) {
        return;
    }
    std::string sheet = asName(fields[0]);
    if (sheet.empty()) {
        sheet = "Sheet1";
    }
    std::vector<std::string> columns;
    std::vector<std::string> values;
    for (std::size_t i = 1; i + 1 < fields.size(); i += 2) {
        columns.push_back(asName(fields[i]));
        values.push_back(fields[i + 1]);
    }
    const std::vector<std::string_view> columnViews(columns.begin(), columns.end());
    auto insert = parseInsert(insertStatement(columnViews, values, sheet));
    check(insert && insert->sheet == sheet && insert->columns == columns &&
              insert->values == values,
          "a built insert parses to its parts");
    for (const std::string& value : values) {
        const std::string quoted = quoteValue(value);
        check(quoted.size() >= 2 && quoted.front() == '\'' && quoted.back() == '\'' &&
                  unquoteValue(std::string_view(quoted).substr(1, quoted.size() - 2)) == value,
              "unquoting undoes quoting");
    }
    auto select = parseSelect(selectStatement(sheet, columns.front()));
    check(select && select->sheet == sheet && select->notNullColumn == columns.front(),
          "a built select parses to its parts");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkAsStatement(input);
    checkAsParts(input);
    return 0;
}
