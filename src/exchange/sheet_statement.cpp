#include "exchange/sheet_statement.h"

#include "exchange/utf16.h"

namespace chengxi::exchange {
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
    std::optional<std::string> bracketed() {
        skipBlanks();
        if (pos_ >= sql_.size() || sql_[pos_] != '[') {
            return std::nullopt;
        }
        const std::size_t close = sql_.find(']', pos_ + 1);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        std::string name(sql_.substr(pos_ + 1, close - pos_ - 1));
        pos_ = close + 1;
        return name;
    }

    // [name$]: a sheet.
    std::optional<std::string> sheet() {
        auto name = bracketed();
        if (!name || name->size() < 2 || name->back() != '$') {
            return std::nullopt;
        }
        name->pop_back();
        return name;
    }

    // 'text', with '' for an apostrophe inside.
    std::optional<std::string> quoted() {
        skipBlanks();
        if (pos_ >= sql_.size() || sql_[pos_] != '\'') {
            return std::nullopt;
        }
        std::string value;
        std::size_t i = pos_ + 1;
        while (true) {
            const std::size_t quote = sql_.find('\'', i);
            if (quote == std::string_view::npos) {
                return std::nullopt;
            }
            value.append(sql_.substr(i, quote - i));
            if (quote + 1 < sql_.size() && sql_[quote + 1] == '\'') {
                value.push_back('\'');
                i = quote + 2;
                continue;
            }
            pos_ = quote + 1;
            return value;
        }
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
    auto sheet = scan.sheet();
    if (!sheet) {
        return unsupported(sql);
    }
    statement.sheet = std::move(*sheet);
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

Result<InsertStatement> parseInsert(std::string_view sql) {
    StatementScanner scan(sql);
    InsertStatement statement;
    if (!scan.keyword("insert") || !scan.keyword("into")) {
        return unsupported(sql);
    }
    auto sheet = scan.sheet();
    if (!sheet || !scan.symbol('(')) {
        return unsupported(sql);
    }
    statement.sheet = std::move(*sheet);
    do {
        auto column = scan.bracketed();
        if (!column) {
            return unsupported(sql);
        }
        statement.columns.push_back(std::move(*column));
    } while (scan.symbol(','));
    if (!scan.symbol(')') || !scan.keyword("values") || !scan.symbol('(')) {
        return unsupported(sql);
    }
    do {
        auto value = scan.quoted();
        if (!value) {
            return unsupported(sql);
        }
        statement.values.push_back(std::move(*value));
    } while (scan.symbol(','));
    if (!scan.symbol(')') || !scan.atEnd()) {
        return unsupported(sql);
    }
    if (statement.values.size() != statement.columns.size()) {
        return fail("插入语句的列数与值的个数不同");
    }
    return statement;
}

std::string quoteValue(std::string_view value) {
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted.push_back('\'');
    for (const char c : value) {
        if (c == '\'') {
            quoted.push_back('\'');
        }
        quoted.push_back(c);
    }
    quoted.push_back('\'');
    return quoted;
}

std::string insertStatement(std::span<const std::string_view> columns,
                            std::span<const std::string> values, std::string_view sheet) {
    std::string sql = "insert into [";
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
        sql += quoteValue(values[i]);
    }
    sql += ')';
    return sql;
}

} // namespace chengxi::exchange
