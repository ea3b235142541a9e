#include "backups/data_check.h"

#include "library/maintenance.h"
#include "store/integrity.h"
#include "text/list_column.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace chengxi::backups {
namespace {

struct Reader {
    std::string className;
    std::string name;
    std::string card;
    std::vector<std::string> books;
    std::size_t dates = 0;
    std::size_t titles = 0;
};

std::vector<std::string> listItems(std::string_view list) {
    if (list == text::kEmptyList) {
        return {};
    }
    return text::splitListColumn(list);
}

std::string readerSubject(const Reader& reader) {
    return "读者 " + reader.card + "（" + reader.className + " " + reader.name + "）";
}

std::string bookSubject(std::string_view book) {
    return "图书 " + std::string(book);
}

std::optional<std::vector<Reader>> readReaders(store::Connection& connection,
                                               store::RecordSet& records) {
    std::optional<std::vector<library::CheckedReader>> rows =
        library::readersToCheck(connection, records);
    if (!rows) {
        return std::nullopt;
    }
    std::vector<Reader> readers;
    readers.reserve(rows->size());
    for (library::CheckedReader& row : *rows) {
        readers.push_back({.className = std::move(row.group),
                           .name = std::move(row.name),
                           .card = std::move(row.card),
                           .books = listItems(row.bookNumbers),
                           .dates = listItems(row.borrowDates).size(),
                           .titles = listItems(row.titles).size()});
    }
    return readers;
}

// Book number -> card number of every 借出数据 row ("0" when the book is in).
std::optional<std::unordered_map<std::string, std::string>>
readLendState(store::Connection& connection, store::RecordSet& records) {
    std::optional<std::vector<library::CheckedLendRow>> rows =
        library::lendRowsToCheck(connection, records);
    if (!rows) {
        return std::nullopt;
    }
    std::unordered_map<std::string, std::string> lent;
    lent.reserve(rows->size());
    for (library::CheckedLendRow& row : *rows) {
        // At most one row per book; a second one is read as the lending does:
        // the first row found.
        lent.emplace(std::move(row.bookNumber), std::move(row.card));
    }
    return lent;
}

void checkLists(const std::vector<Reader>& readers, std::vector<Finding>& findings) {
    for (const Reader& reader : readers) {
        if (reader.books.size() != reader.dates || reader.books.size() != reader.titles) {
            findings.push_back({.kind = FindingKind::ListsUneven,
                                .subject = readerSubject(reader),
                                .detail = "三个借书列表的项数不同：图书编号 " +
                                          std::to_string(reader.books.size()) + " 项，借书日期 " +
                                          std::to_string(reader.dates) + " 项，书名 " +
                                          std::to_string(reader.titles) + " 项",
                                .card = reader.card});
        }
        for (std::size_t i = 0; i < reader.books.size(); ++i) {
            if (reader.books[i].empty()) {
                findings.push_back(
                    {.kind = FindingKind::EmptyBookNumber,
                     .subject = readerSubject(reader),
                     .detail = "借书列表的第 " + std::to_string(i + 1) + " 项没有图书编号",
                     .card = reader.card});
            }
        }
    }
}

void checkDuplicateCards(const std::vector<Reader>& readers, std::vector<Finding>& findings) {
    std::map<std::string, std::vector<const Reader*>> byCard;
    for (const Reader& reader : readers) {
        byCard[reader.card].push_back(&reader);
    }
    for (const auto& [card, holders] : byCard) {
        if (holders.size() < 2) {
            continue;
        }
        std::string names;
        for (const Reader* holder : holders) {
            names += (names.empty() ? "" : "、") + holder->className + " " + holder->name;
        }
        findings.push_back(
            {.kind = FindingKind::DuplicateCard,
             .subject = "借书证号 " + card,
             .detail = std::to_string(holders.size()) + " 位读者用同一个借书证号：" + names,
             .card = card});
    }
}

// Which cards list each book (a book listed twice by one card counts once).
using Listings = std::unordered_map<std::string, std::set<std::string>>;

Listings listingsOf(const std::vector<Reader>& readers) {
    Listings listings;
    for (const Reader& reader : readers) {
        for (const std::string& book : reader.books) {
            if (!book.empty()) {
                listings[book].insert(reader.card);
            }
        }
    }
    return listings;
}

std::string lendStateText(const std::unordered_map<std::string, std::string>& lent,
                          const std::string& book) {
    const auto found = lent.find(book);
    if (found == lent.end()) {
        return "借出数据中没有这本书";
    }
    return found->second == text::kEmptyList ? "借出数据却记为已还"
                                             : "借出数据却记为借给 " + found->second;
}

void checkLoans(const std::vector<Reader>& readers, const Listings& listings,
                const std::unordered_map<std::string, std::string>& lent,
                std::vector<Finding>& findings) {
    for (const Reader& reader : readers) {
        std::set<std::string> seen;
        for (const std::string& book : reader.books) {
            if (book.empty() || !seen.insert(book).second) {
                continue;
            }
            const auto state = lent.find(book);
            if (state != lent.end() && state->second == reader.card) {
                continue;
            }
            // Only a loan no other reader claims can be set right in 借出数据.
            const bool alone = listings.at(book).size() == 1;
            findings.push_back({.kind = FindingKind::LoanWithoutLendRow,
                                .subject = readerSubject(reader),
                                .detail = "借书列表中有" + bookSubject(book) + "，" +
                                          lendStateText(lent, book) +
                                          (alone ? "" : "；另有读者的借书列表也有这本书"),
                                .mendable = alone,
                                .book = book,
                                .card = reader.card});
        }
    }
    std::unordered_set<std::string> cards;
    for (const Reader& reader : readers) {
        cards.insert(reader.card);
    }
    std::vector<std::pair<std::string, std::string>> lentBooks(lent.begin(), lent.end());
    std::sort(lentBooks.begin(), lentBooks.end());
    for (const auto& [book, card] : lentBooks) {
        if (card == text::kEmptyList) {
            continue;
        }
        const auto listed = listings.find(book);
        if (listed != listings.end() && listed->second.contains(card)) {
            continue;
        }
        const bool listedByNobody = listed == listings.end();
        findings.push_back({.kind = FindingKind::LendRowWithoutLoan,
                            .subject = bookSubject(book),
                            .detail = "借出数据记为借给 " + card + "，" +
                                      (cards.contains(card) ? "但该读者的借书列表中没有这本书"
                                                            : "但没有这个借书证号的读者") +
                                      (listedByNobody ? "" : "；这本书在别的读者的借书列表中"),
                            .mendable = listedByNobody,
                            .book = book,
                            .card = card});
    }
}

bool checkReport(store::Connection& connection, store::RecordSet& records, const Listings& listings,
                 const std::unordered_map<std::string, std::string>& lent,
                 std::vector<Finding>& findings) {
    const std::optional<std::vector<library::OpenReportRow>> open =
        library::openReportRows(connection, records);
    if (!open) {
        return false;
    }
    for (const library::OpenReportRow& row : *open) {
        const std::string& book = row.bookNumber;
        const auto state = lent.find(book);
        // Back by both accounts: no reader lists it and 借出数据 has it in.
        const bool back =
            !listings.contains(book) && (state == lent.end() || state->second == text::kEmptyList);
        if (!back) {
            continue;
        }
        findings.push_back({.kind = FindingKind::OpenReportRow,
                            .subject = bookSubject(book),
                            .detail = "借阅报表中" + row.borrowedOn + "借给" + row.borrower +
                                      "的记录没有还书日期，但这本书已经还了",
                            .mendable = true,
                            .book = book,
                            .reportRow = row.rowId});
    }
    return true;
}

} // namespace

DataCheck checkLibraryData(store::Connection& connection, store::RecordSet& records) {
    DataCheck check;
    const std::optional<std::vector<std::string>> faults = store::integrityFaults(connection);
    if (!faults) {
        return check;
    }
    for (const std::string& fault : *faults) {
        check.findings.push_back({.kind = FindingKind::FileDamaged,
                                  .subject = "数据库文件",
                                  .detail = "文件有损坏（" + fault + "）"});
    }
    if (!faults->empty()) {
        // What damaged pages give back is not worth comparing.
        check.complete = true;
        return check;
    }
    const std::optional<std::vector<Reader>> readers = readReaders(connection, records);
    const auto lent = readLendState(connection, records);
    if (!readers || !lent) {
        return check;
    }
    const Listings listings = listingsOf(*readers);
    checkLists(*readers, check.findings);
    checkLoans(*readers, listings, *lent, check.findings);
    checkDuplicateCards(*readers, check.findings);
    check.complete = checkReport(connection, records, listings, *lent, check.findings);
    return check;
}

std::string mendingOf(FindingKind kind, const text::DateTime& today) {
    switch (kind) {
    case FindingKind::LoanWithoutLendRow:
        return "把借出数据改为借给借书列表中有这本书的读者";
    case FindingKind::LendRowWithoutLoan:
        return "把借出数据中没有读者在借的书改为已还（0）";
    case FindingKind::OpenReportRow:
        return "把已还图书在借阅报表中没有还书日期的记录，还书日期记为今天（" +
               text::formatDateTime(today.date()) + "）";
    case FindingKind::FileDamaged:
    case FindingKind::ListsUneven:
    case FindingKind::EmptyBookNumber:
    case FindingKind::DuplicateCard:
        break;
    }
    return {};
}

bool mendFindings(store::Connection& connection, std::span<const Finding> findings,
                  std::span<const FindingKind> chosen, const text::DateTime& today) {
    const std::string returned = text::formatDateTime(today.date());
    for (const Finding& finding : findings) {
        if (!finding.mendable ||
            std::find(chosen.begin(), chosen.end(), finding.kind) == chosen.end()) {
            continue;
        }
        bool done = true;
        switch (finding.kind) {
        case FindingKind::LoanWithoutLendRow:
            done = library::lendRowToCard(connection, finding.book, finding.card);
            break;
        case FindingKind::LendRowWithoutLoan:
            done = library::lendRowBack(connection, finding.book, finding.card);
            break;
        case FindingKind::OpenReportRow:
            done = library::stampReportReturn(connection, finding.reportRow, returned);
            break;
        case FindingKind::FileDamaged:
        case FindingKind::ListsUneven:
        case FindingKind::EmptyBookNumber:
        case FindingKind::DuplicateCard:
            break;
        }
        if (!done) {
            return false;
        }
    }
    return true;
}

} // namespace chengxi::backups
