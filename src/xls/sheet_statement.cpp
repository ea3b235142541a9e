#include "xls/sheet_statement.h"

#include "xls/utf16.h"

namespace chengxi::xls {
namespace {

// Walks a statement token by token; any mismatch leaves it failed.
class StatementScanner {
public:
    explicit StatementScanner(std::string_view sql) : sql_(sql) {}

    bool keyword(std::string_view word) {
        skipBlanks();
        if (sql_.size() - pos_ < word.size() ||
            !equalsIgnoringAsciiCase(sql_.substr(pos_, word.size()), word)) {
            return false;
        }
        const std::size_t end = pos_ + word.size();
        if (end < sql_.size() && isWordCharacter(sql_[end])) {
            return false;
        }
        pos_ = end;
        return true;
    }

    bool symbol(char c) {
        skipBlanks();
        if (pos_ < sql_.size() && sql_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    // [name]; the name may hold anything but "]".
    std::optional<std::string_view> bracketedView() {
        skipBlanks();
        if (pos_ >= sql_.size() || sql_[pos_] != '[') {
            return std::nullopt;
        }
        const std::size_t close = sql_.find(']', pos_ + 1);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view name = sql_.substr(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        return name;
    }
    std::optional<std::string> bracketed() {
        const auto name = bracketedView();
        return name ? std::optional<std::string>(std::string(*name)) : std::nullopt;
    }

    // [name$]: a sheet.
    std::optional<std::string_view> sheetView() {
        auto name = bracketedView();
        if (!name || name->size() < 2 || name->back() != '$') {
            return std::nullopt;
        }
        return name->substr(0, name->size() - 1);
    }

    // 'text' as written, '' still doubled.
    std::optional<std::string_view> quotedView() {
        skipBlanks();
        if (pos_ >= sql_.size() || sql_[pos_] != '\'') {
            return std::nullopt;
        }
        std::size_t i = pos_ + 1;
        while (true) {
            const std::size_t quote = sql_.find('\'', i);
            if (quote == std::string_view::npos) {
                return std::nullopt;
            }
            if (quote + 1 < sql_.size() && sql_[quote + 1] == '\'') {
                i = quote + 2;
                continue;
            }
            const std::string_view value = sql_.substr(pos_ + 1, quote - pos_ - 1);
            pos_ = quote + 1;
            return value;
        }
    }

    std::size_t position() {
        skipBlanks();
        return pos_;
    }
    std::string_view text(std::size_t from, std::size_t to) const {
        return sql_.substr(from, to - from);
    }

    // Only blanks and an optional ";" may follow the statement.
    bool atEnd() {
        symbol(';');
        skipBlanks();
        return pos_ == sql_.size();
    }

private:
    static bool isWordCharacter(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    }
    void skipBlanks() {
        while (pos_ < sql_.size() && (sql_[pos_] == ' ' || sql_[pos_] == '\t' ||
                                      sql_[pos_] == '\r' || sql_[pos_] == '\n')) {
            ++pos_;
        }
    }

    std::string_view sql_;
    std::size_t pos_ = 0;
};

Failure unsupported(std::string_view sql) {
    return fail("不支持的工作簿语句：" + std::string(sql.substr(0, 80)));
}

} // namespace

Result<SelectStatement> parseSelect(std::string_view sql) {
    StatementScanner scan(sql);
    SelectStatement statement;
    if (!scan.keyword("select") || !scan.symbol('*') || !scan.keyword("from")) {
        return unsupported(sql);
    }
    const auto sheet = scan.sheetView();
    if (!sheet) {
        return unsupported(sql);
    }
    statement.sheet = std::string(*sheet);
    if (scan.keyword("where")) {
        auto column = scan.bracketed();
        if (!column || !scan.keyword("is") || !scan.keyword("not") || !scan.keyword("null")) {
            return unsupported(sql);
        }
        statement.notNullColumn = std::move(*column);
    }
    if (!scan.atEnd()) {
        return unsupported(sql);
    }
    return statement;
}

Status scanInsert(std::string_view sql, InsertParts& parts) {
    StatementScanner scan(sql);
    parts.columns.clear();
    parts.quotedValues.clear();
    if (!scan.keyword("insert") || !scan.keyword("into")) {
        return unsupported(sql);
    }
    const auto sheet = scan.sheetView();
    if (!sheet || !scan.symbol('(')) {
        return unsupported(sql);
    }
    parts.sheet = *sheet;
    const std::size_t listStart = scan.position();
    do {
        const auto column = scan.bracketedView();
        if (!column) {
            return unsupported(sql);
        }
        parts.columns.push_back(*column);
    } while (scan.symbol(','));
    parts.columnList = scan.text(listStart, scan.position());
    if (!scan.symbol(')') || !scan.keyword("values") || !scan.symbol('(')) {
        return unsupported(sql);
    }
    do {
        const auto value = scan.quotedView();
        if (!value) {
            return unsupported(sql);
        }
        parts.quotedValues.push_back(*value);
    } while (scan.symbol(','));
    if (!scan.symbol(')') || !scan.atEnd()) {
        return unsupported(sql);
    }
    if (parts.quotedValues.size() != parts.columns.size()) {
        return fail("插入语句的列数与值的个数不同");
    }
    return {};
}

std::string unquoteValue(std::string_view quoted) {
    std::string value;
    value.reserve(quoted.size());
    std::size_t start = 0;
    for (std::size_t quote = quoted.find("''"); quote != std::string_view::npos;
         quote = quoted.find("''", start)) {
        value.append(quoted.substr(start, quote + 1 - start));
        start = quote + 2;
    }
    value.append(quoted.substr(start));
    return value;
}

Result<InsertStatement> parseInsert(std::string_view sql) {
    InsertParts parts;
    if (Status scanned = scanInsert(sql, parts); !scanned) {
        return fail(scanned.error());
    }
    InsertStatement statement;
    statement.sheet = std::string(parts.sheet);
    for (const std::string_view column : parts.columns) {
        statement.columns.emplace_back(column);
    }
    for (const std::string_view value : parts.quotedValues) {
        statement.values.push_back(unquoteValue(value));
    }
    return statement;
}

namespace {

void appendQuoted(std::string& out, std::string_view value) {
    out.push_back('\'');
    std::size_t start = 0;
    for (std::size_t quote = value.find('\''); quote != std::string_view::npos;
         quote = value.find('\'', quote + 1)) {
        out.append(value.substr(start, quote + 1 - start));
        out.push_back('\'');
        start = quote + 1;
    }
    out.append(value.substr(start));
    out.push_back('\'');
}

} // namespace

std::string quoteValue(std::string_view value) {
    std::string quoted;
    quoted.reserve(value.size() + 2);
    appendQuoted(quoted, value);
    return quoted;
}

std::string insertStatement(std::span<const std::string_view> columns,
                            std::span<const std::string> values, std::string_view sheet) {
    std::size_t size = 32 + sheet.size();
    for (const std::string_view column : columns) {
        size += column.size() + 3;
    }
    for (const std::string& value : values) {
        size += value.size() + 3;
    }
    std::string sql;
    sql.reserve(size);
    sql += "insert into [";
    sql += sheet;
    sql += "$] (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += i == 0 ? "[" : ",[";
        sql += columns[i];
        sql += ']';
    }
    sql += ") values (";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i != 0) {
            sql += ',';
        }
        appendQuoted(sql, values[i]);
    }
    sql += ')';
    return sql;
}

} // namespace chengxi::xls
