#include "readers/promotion.h"

#include "readers/grade_rule.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "store/transaction.h"
#include "text/list_column.h"

#include <charconv>
#include <cstdint>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace chengxi::readers {
namespace {

constexpr std::string_view kCohortMark = "届";

struct ReaderRow {
    std::int64_t rowId = 0;
    Leaver reader;
};

std::string failureText(const store::Database& database, std::string_view what) {
    const std::string_view cause = store::failureCause(database.connection);
    return cause.empty() ? std::string(what) : std::string(what) + "：" + std::string(cause);
}

bool readRows(store::Database& database, std::vector<ReaderRow>& rows) {
    store::RecordSet& records = database.records;
    const bool read = records.open(database.connection,
                                   "select rowid as 行号, 班别, 姓名, 借书证号, 图书编号串, 书名串 "
                                   "from 读者数据") &&
                      records.toFirst();
    if (read) {
        rows.reserve(static_cast<std::size_t>(records.rowCount()));
        while (records.nextRow()) {
            ReaderRow row{0,
                          {records.read("班别"), records.read("姓名"), records.read("借书证号"),
                           records.read("图书编号串"), records.read("书名串")}};
            const std::string rowId = records.read("行号");
            std::from_chars(rowId.data(), rowId.data() + rowId.size(), row.rowId);
            rows.push_back(std::move(row));
        }
    }
    records.close();
    return read;
}

// Cards the lend state says hold a book; "0" is the not-lent value.
bool readLentCards(store::Database& database, std::unordered_set<std::string>& cards) {
    store::RecordSet& records = database.records;
    const bool read =
        records.open(database.connection,
                     "select distinct 借书证号 from 借出数据 where 借书证号 <> '0'") &&
        records.toFirst();
    if (read) {
        while (records.nextRow()) {
            cards.insert(records.read("借书证号"));
        }
    }
    records.close();
    return read;
}

bool startsWithCohort(std::string_view currentClass) {
    std::size_t digits = 0;
    while (digits < currentClass.size() && currentClass[digits] >= '0' &&
           currentClass[digits] <= '9') {
        ++digits;
    }
    return digits == 4 && currentClass.substr(digits).starts_with(kCohortMark);
}

} // namespace

bool proposeMoves(store::Database& database, std::vector<ClassMove>& moves) {
    moves.clear();
    store::RecordSet& records = database.records;
    const bool read =
        records.open(database.connection, "select ifnull(班别, '') as 班别, count(*) as 人数 "
                                          "from 读者数据 group by 1 order by 1") &&
        records.toFirst();
    if (read) {
        while (records.nextRow()) {
            const std::string count = records.read("人数");
            ClassMove move{records.read("班别"), 0, {}};
            std::from_chars(count.data(), count.data() + count.size(), move.readers);
            moves.push_back(std::move(move));
        }
    }
    records.close();
    SchoolGrades grades;
    for (const ClassMove& move : moves) {
        grades.hasGradeSeven = grades.hasGradeSeven || isGradeSeven(move.currentClass);
    }
    for (ClassMove& move : moves) {
        move.newClass = nextClass(move.currentClass, grades);
    }
    return read;
}

std::string leaverClass(const std::string& currentClass, int year) {
    if (startsWithCohort(currentClass)) {
        return currentClass;
    }
    return std::to_string(year) + std::string(kCohortMark) + currentClass;
}

std::string movesRefusal(const std::vector<ClassMove>& moves, int year) {
    std::map<std::string, std::vector<std::string>> sourcesOf;
    for (const ClassMove& move : moves) {
        // Readers without a class stay so unless the librarian gives one.
        if (move.newClass.empty() && !move.currentClass.empty()) {
            return "班别“" + move.currentClass +
                   "”还没有新班别：请选中它，填写新班别后点“设定”，或点“毕业”“不变”。";
        }
        const std::string target =
            move.newClass == kGraduate ? leaverClass(move.currentClass, year) : move.newClass;
        sourcesOf[target].push_back(move.currentClass);
    }
    for (const auto& [target, sources] : sourcesOf) {
        if (sources.size() > 1) {
            return "班别“" + sources[0] + "”和“" + sources[1] + "”的读者会合到同一个班别“" +
                   target + "”中，请修改新班别。";
        }
    }
    return {};
}

PromotionOutcome applyMoves(store::Database& database, const std::vector<ClassMove>& moves,
                            int year) {
    PromotionOutcome outcome;
    store::Transaction transaction(database.connection);
    if (!transaction.began()) {
        outcome.failure = failureText(database, "开始升级失败");
        return outcome;
    }
    std::vector<ReaderRow> rows;
    std::unordered_set<std::string> holdingCards;
    if (!readRows(database, rows) || !readLentCards(database, holdingCards)) {
        outcome.failure = failureText(database, "读取读者数据失败");
        return outcome;
    }
    // A card one of whose rows holds books keeps all its rows: deleting one
    // would leave the loans with a reader the librarian believes gone.
    for (const ReaderRow& row : rows) {
        if (row.reader.books != text::kEmptyList) {
            holdingCards.insert(row.reader.card);
        }
    }
    std::unordered_map<std::string_view, const ClassMove*> moveOf;
    for (const ClassMove& move : moves) {
        moveOf.emplace(move.currentClass, &move);
    }
    store::Connection& connection = database.connection;
    for (ReaderRow& row : rows) {
        const auto found = moveOf.find(row.reader.readerClass);
        if (found == moveOf.end() || found->second->newClass == row.reader.readerClass) {
            ++outcome.unchanged;
            continue;
        }
        const std::string& newClass = found->second->newClass;
        bool done = false;
        if (newClass != kGraduate) {
            done = connection.execute("update 读者数据 set 班别 = ? where rowid = ?",
                                      {newClass, row.rowId});
            ++outcome.moved;
        } else if (holdingCards.contains(row.reader.card)) {
            done = connection.execute("update 读者数据 set 班别 = ? where rowid = ?",
                                      {leaverClass(row.reader.readerClass, year), row.rowId});
            ++outcome.keptLeavers;
            outcome.leavers.push_back(std::move(row.reader));
        } else {
            done = connection.execute("delete from 读者数据 where rowid = ?", {row.rowId});
            ++outcome.graduated;
        }
        if (!done) {
            outcome = {};
            outcome.failure = failureText(database, "升级失败，读者数据没有改动");
            return outcome;
        }
    }
    if (!transaction.commit()) {
        outcome = {};
        outcome.failure = failureText(database, "升级失败，读者数据没有改动");
        return outcome;
    }
    outcome.applied = true;
    return outcome;
}

} // namespace chengxi::readers
