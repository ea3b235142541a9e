#include "end_state.h"

#include "store/connection.h"
#include "store/record_set.h"
#include "text/cp936.h"
#include "text/file_path.h"
#include "text/hex.h"
#include "trial_folder.h"
#include "xls/workbook_reader.h"
#include "xls/xlsx_reader.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>

namespace chengxi::trials {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kIntegrity = ":(integrity)";
constexpr std::string_view kFormat = ":(format)";

// A value as stored: its type (the first letter of SQLite's typeof) and its
// exact bytes, code page 936 for texts.
struct StoredValue {
    char type = 'n';
    std::string bytes;
    friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

void appendValue(std::string& content, char type, std::string_view bytes) {
    content += type;
    content += std::to_string(bytes.size());
    content += ':';
    content += bytes;
}

// A table's item: the column names on the first line, then every value of
// every row as written by appendValue, rows in rowid order.
std::string tableContent(store::Connection& connection, const std::string& table) {
    store::RecordSet records;
    if (!records.open(connection, "select * from \"" + table + "\" limit 0")) {
        return "(cannot be read)";
    }
    std::string header;
    std::string select;
    for (int column = 0; column < records.columnCount(); ++column) {
        const std::string name = records.columnName(column);
        header += (column > 0 ? "\x1f" : "") + name;
        select +=
            std::string(column > 0 ? ", " : "") + "typeof(\"" + name + "\"), hex(\"" + name + "\")";
    }
    std::string content = header + "\n";
    if (!records.open(connection, "select " + select + " from \"" + table + "\" order by rowid")) {
        return content + "(cannot be read)";
    }
    std::string bytes;
    while (records.nextRow()) {
        for (int column = 0; column + 1 < records.columnCount(); column += 2) {
            const std::string type = records.read(column);
            if (!text::decodeHex(records.read(column + 1), bytes)) {
                bytes = "(not hex)";
            }
            appendValue(content, type.empty() ? '?' : type.front(), bytes);
        }
    }
    return content;
}

// The header fields that say which journal a database file keeps and which
// schema format it has.
std::string formatOf(const std::string& header) {
    if (header.size() < 100 || !header.starts_with(std::string_view("SQLite format 3\0", 16))) {
        return "not a database file (" + std::to_string(header.size()) + " bytes read)";
    }
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(header[at]); };
    const std::string journal =
        byte(18) == 1 && byte(19) == 1 ? "rollback journal"
        : byte(18) == 2 && byte(19) == 2
            ? "WAL"
            : "file versions " + std::to_string(byte(18)) + "," + std::to_string(byte(19));
    return journal + ", schema format " + std::to_string(byte(44));
}

void readDatabase(const fs::path& file, const std::string& key, EndState& state) {
    std::string header(100, '\0');
    std::ifstream in(file, std::ios::binary);
    header.resize(in.read(header.data(), 100) ? 100 : static_cast<std::size_t>(in.gcount()));
    state.items[key + std::string(kFormat)] = formatOf(header);
    store::Connection connection;
    if (!connection.open(text::fromPath(file), false)) {
        state.items[key + std::string(kIntegrity)] = "cannot be opened";
        return;
    }
    std::string integrity;
    std::vector<std::string> tables;
    store::RecordSet records;
    if (records.open(connection, "pragma integrity_check")) {
        while (records.nextRow()) {
            integrity += (integrity.empty() ? "" : "; ") + records.read(0);
        }
    }
    if (records.open(connection, "select name from sqlite_master where type = 'table'")) {
        while (records.nextRow()) {
            tables.push_back(records.read(0));
        }
    }
    records.close();
    state.items[key + std::string(kIntegrity)] = integrity.empty() ? "cannot be read" : integrity;
    for (const std::string& table : tables) {
        state.items[key + ":" + table] = tableContent(connection, table);
    }
}

// --- Describing items for a fault ---------------------------------------

struct Table {
    std::vector<std::string> columns;
    std::vector<std::vector<StoredValue>> rows;
};

std::optional<Table> parseTable(std::string_view content) {
    const std::size_t newline = content.find('\n');
    if (newline == std::string_view::npos) {
        return std::nullopt;
    }
    Table table;
    std::string_view header = content.substr(0, newline);
    while (true) {
        const std::size_t separator = header.find('\x1f');
        table.columns.emplace_back(header.substr(0, separator));
        if (separator == std::string_view::npos) {
            break;
        }
        header.remove_prefix(separator + 1);
    }
    std::string_view rest = content.substr(newline + 1);
    std::vector<StoredValue> row;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        if (colon == std::string_view::npos || colon < 2) {
            return std::nullopt;
        }
        const std::size_t length = std::stoul(std::string(rest.substr(1, colon - 1)));
        if (colon + 1 + length > rest.size()) {
            return std::nullopt;
        }
        row.push_back({rest.front(), std::string(rest.substr(colon + 1, length))});
        rest.remove_prefix(colon + 1 + length);
        if (row.size() == table.columns.size()) {
            table.rows.push_back(std::move(row));
            row.clear();
        }
    }
    return table;
}

std::string shown(const StoredValue& value) {
    switch (value.type) {
    case 'n':
        return "NULL";
    case 't':
        return "“" + text::fromCp936(value.bytes) + "”";
    case 'b':
        return "x'" + text::encodeHex(value.bytes) + "'";
    default:
        return value.bytes;
    }
}

std::string shownRow(const Table& table, std::size_t row) {
    std::string out;
    for (std::size_t column = 0; column < table.columns.size(); ++column) {
        out +=
            (column > 0 ? ", " : "") + table.columns[column] + " " + shown(table.rows[row][column]);
    }
    return out;
}

std::string rowsText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " row" : " rows");
}

// How a table differs from the expected one: the row counts, and the first
// row that differs (column by column) unless the tables have nothing else in
// common.
std::string tableDifference(std::string_view found, std::string_view expected) {
    const std::optional<Table> have = parseTable(found);
    const std::optional<Table> want = parseTable(expected);
    if (!have || !want || have->columns != want->columns) {
        return "other columns or an unreadable table";
    }
    std::string out = rowsText(have->rows.size());
    if (have->rows.size() != want->rows.size()) {
        out += " where " + std::to_string(want->rows.size()) + " are expected";
    }
    const std::size_t common = std::min(have->rows.size(), want->rows.size());
    std::size_t row = 0;
    while (row < common && have->rows[row] == want->rows[row]) {
        ++row;
    }
    if (row < common && have->rows.size() == want->rows.size()) {
        out += "; row " + std::to_string(row + 1) + ":";
        for (std::size_t column = 0; column < have->columns.size(); ++column) {
            const StoredValue& is = have->rows[row][column];
            const StoredValue& was = want->rows[row][column];
            if (!(is == was)) {
                out += " " + have->columns[column] + " " + shown(is) + " where " + shown(was) +
                       " is expected,";
            }
        }
        out.pop_back();
    } else if (row == common && have->rows.size() > common) {
        out += "; the first extra row: " + shownRow(*have, common);
    } else if (row == common && want->rows.size() > common) {
        out += "; the first missing row: " + shownRow(*want, common);
    }
    return out;
}

std::string_view filePart(std::string_view key) {
    return key.substr(0, key.find(':'));
}

bool isTableKey(std::string_view key) {
    return key.find(':') != std::string_view::npos && !key.ends_with(kIntegrity) &&
           !key.ends_with(kFormat);
}

std::string xlsxContent(const std::filesystem::path& file) {
    // Two writes of the same rows differ in the time stamped into the
    // package, so an .xlsx is known by its cells.
    auto workbook = xls::XlsxWorkbook::open(text::fromPath(file));
    if (!workbook) {
        return "an .xlsx that cannot be read: " + workbook.error();
    }
    std::string content = "xlsx";
    const xls::Status read = workbook->readRows(0, [&](const xls::XlsxRow& row) {
        content += "\n" + std::to_string(row.index);
        for (const xls::XlsxCell& cell : row.cells) {
            content += "\t" + std::to_string(cell.column) + "=" + std::string(cell.text);
        }
        return true;
    });
    return read ? content : "an .xlsx that cannot be read: " + read.error();
}

std::string fileSummary(std::string_view key, const std::string& bytes) {
    if (key.ends_with(".xls")) {
        const auto book = xls::parseWorkbookFile(
            {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
        if (!book.ok() || book->sheets.empty()) {
            return "a file of " + std::to_string(bytes.size()) + " bytes that is no workbook";
        }
        return "a workbook of " + rowsText(book->sheets.front().rowCount());
    }
    if (key.ends_with(".xlsx")) {
        return bytes.starts_with("xlsx")
                   ? "an .xlsx workbook of " + rowsText(static_cast<std::size_t>(
                                                   std::count(bytes.begin(), bytes.end(), '\n')))
                   : bytes;
    }
    return std::to_string(bytes.size()) + " bytes";
}

const std::string* find(const EndState& state, const std::string& key) {
    const auto found = state.items.find(key);
    return found == state.items.end() ? nullptr : &found->second;
}

// One item against one expected state: how it differs from it.
std::string differenceFrom(const std::string& key, const std::string* found,
                           const std::string* expected) {
    if (found == nullptr) {
        return "missing";
    }
    if (expected == nullptr) {
        return "there, where nothing is expected";
    }
    if (isTableKey(key)) {
        return tableDifference(*found, *expected);
    }
    if (key.ends_with(kIntegrity) || key.ends_with(kFormat)) {
        return *found + " where " + *expected + " is expected";
    }
    return fileSummary(key, *found) + " where " + fileSummary(key, *expected) + " is expected";
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (const std::string& part : parts) {
        out += (out.empty() ? "" : std::string(separator)) + part;
    }
    return out;
}

// Keys grouped by file: "program/a.sdb (读者数据, 借阅报表), settings/mzqk.ini".
std::string byFile(const std::vector<std::string>& keys) {
    std::vector<std::string> groups;
    std::string file;
    for (const std::string& key : keys) {
        const std::string_view part = filePart(key);
        const std::string_view rest = std::string_view(key).substr(part.size());
        if (groups.empty() || part != file) {
            file = std::string(part);
            groups.push_back(file + (rest.empty() ? "" : " ("));
        } else {
            groups.back() += ", ";
        }
        groups.back() += rest.empty() ? "" : std::string(rest.substr(1));
    }
    for (std::string& group : groups) {
        if (group.find(" (") != std::string::npos) {
            group += ")";
        }
    }
    return joined(groups, ", ");
}

std::set<std::string> allKeys(const EndState& a, const EndState& b, const EndState& c) {
    std::set<std::string> keys;
    for (const EndState* state : {&a, &b, &c}) {
        for (const auto& [key, content] : state->items) {
            keys.insert(key);
        }
    }
    return keys;
}

bool same(const std::string* a, const std::string* b) {
    return a == nullptr ? b == nullptr : b != nullptr && *a == *b;
}

} // namespace

bool isHotJournal(const fs::path& journal) {
    static constexpr std::array<unsigned char, 8> kMagic = {0xd9, 0xd5, 0x05, 0xf9,
                                                            0x20, 0xa1, 0x63, 0xd7};
    std::array<char, kMagic.size()> head{};
    std::ifstream in(journal, std::ios::binary);
    return in.read(head.data(), head.size()) &&
           std::equal(kMagic.begin(), kMagic.end(), head.begin(),
                      [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); });
}

TemporaryKind temporaryKind(std::string_view name) {
    if (name.ends_with("-journal") || name.ends_with("-wal") || name.ends_with("-shm")) {
        return TemporaryKind::Sqlite;
    }
    if (name.starts_with(".chengxi-") || name.ends_with(".chengxi-tmp") ||
        name.ends_with(".part") || name.ends_with(".tmp")) {
        return TemporaryKind::Program;
    }
    return TemporaryKind::None;
}

EndState takeEndState(const fs::path& root) {
    EndState state;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string key = text::fromPath(entry.path().lexically_relative(root));
        const TemporaryKind kind = temporaryKind(text::fromPath(entry.path().filename()));
        if (kind == TemporaryKind::Sqlite) {
            state.leftovers.push_back(key + (isHotJournal(entry.path())
                                                 ? " (hot: never rolled back)"
                                                 : " (not hot: SQLite ignores it, but it stays)"));
            continue;
        }
        if (kind == TemporaryKind::Program) {
            state.leftovers.push_back(key);
            continue;
        }
        state.fileSizes[key] = entry.file_size();
        if (key.ends_with(".sdb")) {
            readDatabase(entry.path(), key, state);
        } else if (key.ends_with(".xlsx")) {
            state.items[key] = xlsxContent(entry.path());
        } else {
            state.items[key] = readBytes(entry.path());
        }
    }
    std::sort(state.leftovers.begin(), state.leftovers.end());
    return state;
}

std::string damagedDatabase(const EndState& state) {
    for (const auto& [key, value] : state.items) {
        if (key.ends_with(kIntegrity) && value != "ok") {
            return std::string(filePart(key)) + " fails its integrity check: " + value;
        }
        if (key.ends_with(kFormat) && !value.starts_with("rollback journal")) {
            return std::string(filePart(key)) + " no longer keeps the rollback journal: " + value;
        }
    }
    return {};
}

namespace {

// The judgement of the items alone, temporary files aside.
Verdict judgeItems(const EndState& trial, const EndState& before, const EndState& after) {
    std::vector<std::string> neither;
    std::vector<std::string> asBefore; // items the operation changes, found as before it
    std::vector<std::string> asAfter;
    for (const std::string& key : allKeys(trial, before, after)) {
        const std::string* found = find(trial, key);
        const std::string* was = find(before, key);
        const std::string* will = find(after, key);
        if (same(found, will) && same(was, will)) {
            continue;
        }
        if (same(found, was) && !same(was, will)) {
            asBefore.push_back(key);
        } else if (same(found, will)) {
            asAfter.push_back(key);
        } else if (same(was, will)) {
            neither.push_back(key + " changed: " + differenceFrom(key, found, was));
        } else {
            neither.push_back(key + " is neither as before (" + differenceFrom(key, found, was) +
                              ") nor as after (" + differenceFrom(key, found, will) + ")");
        }
    }
    if (!neither.empty()) {
        return {joined(neither, "; ")};
    }
    if (asBefore.empty()) {
        return {"", Outcome::Complete};
    }
    if (asAfter.empty()) {
        return {"", Outcome::Absent};
    }
    const auto isNew = [&](const std::string& key) {
        return !before.fileSizes.contains(std::string(filePart(key)));
    };
    const auto isNewBackup = [&](const std::string& key) {
        return isNew(key) && filePart(key).ends_with(".sdb");
    };
    // The backup is taken first and is whole once it has its name.
    if (std::all_of(asAfter.begin(), asAfter.end(), isNewBackup) &&
        std::none_of(asBefore.begin(), asBefore.end(), isNewBackup)) {
        return {"", Outcome::BackedUp};
    }
    // A report of what was stored is written once the data is: a kill in
    // between leaves the data without it.
    if (std::all_of(asBefore.begin(), asBefore.end(),
                    [&](const std::string& key) { return isNew(key) && !isNewBackup(key); })) {
        return {"", Outcome::Complete};
    }
    return {"half done: as after the operation " + byFile(asAfter) + "; as before it " +
            byFile(asBefore)};
}

} // namespace

Verdict judge(const EndState& trial, const EndState& before, const EndState& after) {
    Verdict verdict = judgeItems(trial, before, after);
    if (!trial.leftovers.empty()) {
        verdict.fault =
            "temporary files are left after the next start: " + joined(trial.leftovers, ", ") +
            (verdict.fault.empty() ? "" : "; " + verdict.fault);
    }
    return verdict;
}

bool sameFile(const EndState& a, const EndState& b, const std::string& file) {
    const auto itemsOf = [&](const EndState& state) {
        std::vector<std::pair<std::string, std::string>> items;
        for (auto item = state.items.lower_bound(file);
             item != state.items.end() && filePart(item->first) == file; ++item) {
            items.push_back(*item);
        }
        return items;
    };
    return itemsOf(a) == itemsOf(b);
}

std::string checkUninterruptedRun(const EndState& before, const EndState& after,
                                  const std::set<std::string>& mayChange) {
    if (!after.leftovers.empty()) {
        return "it leaves temporary files: " + joined(after.leftovers, ", ");
    }
    if (before.items == after.items) {
        return "it changes nothing";
    }
    std::vector<std::string> changed;
    for (const auto& [key, content] : before.items) {
        const std::string* now = find(after, key);
        if (!same(now, &content) && !mayChange.contains(key) &&
            !mayChange.contains(std::string(filePart(key)))) {
            changed.push_back(key + " (" + differenceFrom(key, now, &content) + ")");
        }
    }
    if (!changed.empty()) {
        return "it changes what it must keep: " + joined(changed, "; ");
    }
    return {};
}

} // namespace chengxi::trials
