#include "readers/promotion.h"

#include "library/loans.h"
#include "library/readers.h"
#include "readers/grade_rule.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "store/transaction.h"
#include "text/list_column.h"

#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace chengxi::readers {
namespace {

constexpr std::string_view kCohortMark = "届";

std::string failureText(const store::Database& database, std::string_view what) {
    const std::string_view cause = store::failureCause(database.connection);
    return cause.empty() ? std::string(what) : std::string(what) + "：" + std::string(cause);
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
    const std::optional<std::vector<library::ClassSize>> classes = library::classSizes(database);
    if (classes) {
        for (const library::ClassSize& size : *classes) {
            moves.push_back({size.group, size.readers, {}});
        }
    }
    SchoolGrades grades;
    for (const ClassMove& move : moves) {
        grades.hasGradeSeven = grades.hasGradeSeven || isGradeSeven(move.currentClass);
    }
    for (ClassMove& move : moves) {
        move.newClass = nextClass(move.currentClass, grades);
    }
    return classes.has_value();
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
    std::optional<std::vector<library::Reader>> rows = library::promotionRows(database);
    const std::optional<std::vector<std::string>> lentCards =
        rows ? library::cardsHoldingBooks(database) : std::nullopt;
    if (!rows || !lentCards) {
        outcome.failure = failureText(database, "读取读者数据失败");
        return outcome;
    }
    std::unordered_set<std::string> holdingCards(lentCards->begin(), lentCards->end());
    // A card one of whose rows holds books keeps all its rows: deleting one
    // would leave the loans with a reader the librarian believes gone.
    for (const library::Reader& row : *rows) {
        if (row.bookNumbers != text::kEmptyList) {
            holdingCards.insert(row.card);
        }
    }
    std::unordered_map<std::string_view, const ClassMove*> moveOf;
    for (const ClassMove& move : moves) {
        moveOf.emplace(move.currentClass, &move);
    }
    store::Connection& connection = database.connection;
    for (library::Reader& row : *rows) {
        const auto found = moveOf.find(row.group);
        if (found == moveOf.end() || found->second->newClass == row.group) {
            ++outcome.unchanged;
            continue;
        }
        const std::string& newClass = found->second->newClass;
        bool done = false;
        if (newClass != kGraduate) {
            done = library::setReaderClass(connection, row.rowid, newClass);
            ++outcome.moved;
        } else if (holdingCards.contains(row.card)) {
            done = library::setReaderClass(connection, row.rowid, leaverClass(row.group, year));
            ++outcome.keptLeavers;
            outcome.leavers.push_back({std::move(row.group), std::move(row.name),
                                       std::move(row.card), std::move(row.bookNumbers),
                                       std::move(row.titles)});
        } else {
            done = library::deleteReaderRow(connection, row.rowid);
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
