#include "library/readers.h"

#include "library/read_rows.h"
#include "library/schema.h"
#include "store/connection.h"
#include "store/database.h"
#include "text/cp936.h"

namespace chengxi::library {
namespace {

namespace column = reader;

// Names the statements below give to what they select besides the columns.
constexpr std::string_view kRowid = "rowid";
constexpr std::string_view kRowNumber = "行号";
constexpr std::string_view kReaderCount = "人数";

Reader wholeReader(const store::RecordSet& records) {
    return {.group = records.read(column::kGroup),
            .name = records.read(column::kName),
            .card = records.read(column::kCard),
            .bookNumbers = records.read(column::kBookNumbers),
            .borrowDates = records.read(column::kBorrowDates),
            .titles = records.read(column::kTitles),
            .rowid = 0};
}

} // namespace

std::optional<std::vector<Reader>> readersWithCard(store::Database& database,
                                                   std::string_view card) {
    return readRows(database, "select rowid, * from 读者数据 where 借书证号 = ?", {card},
                    [](const store::RecordSet& records) {
                        Reader row = wholeReader(records);
                        row.rowid = wholeNumber(records.read(kRowid));
                        return row;
                    });
}

std::optional<std::vector<std::string>> bookListsWithCard(store::Database& database,
                                                          std::string_view card) {
    return readRows(
        database, "select * from 读者数据 where 借书证号 = ?", {card},
        [](const store::RecordSet& records) { return records.read(column::kBookNumbers); });
}

std::optional<std::vector<Reader>> namesWithCard(store::Database& database, std::string_view card) {
    return readRows(database, "select rowid as 行号, 班别, 姓名 from 读者数据 where 借书证号 = ?",
                    {card}, [](const store::RecordSet& records) {
                        return Reader{.group = records.read(column::kGroup),
                                      .name = records.read(column::kName),
                                      .card = {},
                                      .bookNumbers = {},
                                      .borrowDates = {},
                                      .titles = {},
                                      .rowid = wholeNumber(records.read(kRowNumber))};
                    });
}

bool forEachStoredReader(store::Database& database,
                         const std::function<void(const StoredReaderRow&)>& visit) {
    return forEachStoredRow(database, "select * from 读者数据", {},
                            std::array<std::string_view, 4>{column::kGroup, column::kName,
                                                            column::kCard, column::kBookNumbers},
                            visit);
}

std::optional<std::vector<Reader>> cardHolders(store::Database& database) {
    return readRows(database, "select 班别, 姓名, 借书证号 from 读者数据 order by 班别, rowid", {},
                    [](const store::RecordSet& records) {
                        return Reader{.group = records.read(column::kGroup),
                                      .name = records.read(column::kName),
                                      .card = records.read(column::kCard),
                                      .bookNumbers = {},
                                      .borrowDates = {},
                                      .titles = {},
                                      .rowid = 0};
                    });
}

std::optional<std::vector<Reader>> promotionRows(store::Database& database) {
    return readRows(database,
                    "select rowid as 行号, 班别, 姓名, 借书证号, 图书编号串, 书名串 from 读者数据",
                    {}, [](const store::RecordSet& records) {
                        return Reader{.group = records.read(column::kGroup),
                                      .name = records.read(column::kName),
                                      .card = records.read(column::kCard),
                                      .bookNumbers = records.read(column::kBookNumbers),
                                      .borrowDates = {},
                                      .titles = records.read(column::kTitles),
                                      .rowid = wholeNumber(records.read(kRowNumber))};
                    });
}

std::optional<std::vector<ClassSize>> classSizes(store::Database& database) {
    return readRows(database,
                    "select ifnull(班别, '') as 班别, count(*) as 人数 from 读者数据 group by 1 "
                    "order by 1",
                    {}, [](const store::RecordSet& records) {
                        return ClassSize{records.read(column::kGroup),
                                         static_cast<int>(wholeNumber(records.read(kReaderCount)))};
                    });
}

bool addReader(store::Connection& connection, std::string_view group, std::string_view name,
               std::string_view card) {
    return connection.execute("insert into 读者数据 values(?, ?, ?, '0', '0', '0')",
                              {group, name, card});
}

bool deleteReadersWithCard(store::Connection& connection, std::string_view card) {
    return connection.execute("delete from 读者数据 where 借书证号 = ?", {card});
}

bool renameReader(store::Connection& connection, std::int64_t rowid, std::string_view group,
                  std::string_view name) {
    return connection.execute("update 读者数据 set 班别 = ?, 姓名 = ? where rowid = ?",
                              {group, name, rowid}) &&
           connection.changes() == 1;
}

bool setReaderClass(store::Connection& connection, std::int64_t rowid, std::string_view group) {
    return connection.execute("update 读者数据 set 班别 = ? where rowid = ?", {group, rowid});
}

bool deleteReaderRow(store::Connection& connection, std::int64_t rowid) {
    return connection.execute("delete from 读者数据 where rowid = ?", {rowid});
}

std::optional<std::unordered_set<std::string>> cardNumberBytes(store::Database& database) {
    QueryGuard query(database.records);
    if (!query.run(database.connection, "select 借书证号 from 读者数据")) {
        return std::nullopt;
    }
    std::unordered_set<std::string> cards;
    cards.reserve(static_cast<std::size_t>(query->rowCount()) * 2);
    while (query->nextRow()) {
        cards.insert(text::toCp936(query->read(reader::kCard)).bytes);
    }
    return cards;
}

bool addImportedReader(store::Connection& connection, std::span<const store::Value> values) {
    return connection.execute("insert into 读者数据 values(?,?,?,?,?,?)", values);
}

} // namespace chengxi::library
