#include "circulation/loan_rows.h"

#include "text/byte_escape.h"
#include "text/list_column.h"

#include <cstdio>

namespace chengxi::circulation {
namespace {

constexpr std::string_view kFullWidthBar = "｜";

const std::string& itemOrEmpty(const std::vector<std::string>& items, std::size_t index) {
    static const std::string empty;
    return index < items.size() ? items[index] : empty;
}

// Whole days print as integers (5, 0, -3); a stored date with a time of day
// gives the fraction, to 13 significant digits.
std::string dayCount(std::int64_t seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.13g", static_cast<double>(seconds) / 86400.0);
    return buffer;
}

std::vector<std::string> itemsOf(std::string_view list) {
    return list == text::kEmptyList ? std::vector<std::string>() : text::splitListColumn(list);
}

// The first `count` items, an item missing from a shorter list as empty,
// and `last` after them.
std::string joined(const std::vector<std::string>& items, std::size_t count,
                   std::string_view last) {
    std::string list;
    for (std::size_t k = 0; k < count; ++k) {
        list.append(itemOrEmpty(items, k)).append("|");
    }
    return list.append(last).append("|");
}

} // namespace

library::LoanLists listsWithLoan(const library::Reader& reader, std::string_view book,
                                 std::string_view borrowDate, std::string_view title) {
    const std::vector<std::string> numbers = itemsOf(reader.bookNumbers);
    const std::vector<std::string> dates = itemsOf(reader.borrowDates);
    const std::vector<std::string> titles = itemsOf(reader.titles);
    // The book numbers set the length: an item added to them would be a loan
    // without a book, which nobody could return.
    const std::size_t count = numbers.size();
    return {joined(numbers, count, book), joined(dates, count, borrowDate),
            joined(titles, count, title)};
}

std::vector<LoanRow> loanRows(const library::Reader& reader, const text::DateTime& today) {
    const std::vector<std::string> numbers = text::splitListColumn(reader.bookNumbers);
    const std::vector<std::string> dates = text::splitListColumn(reader.borrowDates);
    const std::vector<std::string> titles = text::splitListColumn(reader.titles);
    const text::DateTime midnight = today.date();
    std::vector<LoanRow> rows;
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        if (numbers[k] == text::kEmptyList) {
            continue;
        }
        LoanRow row{.bookNumber = numbers[k],
                    .title = itemOrEmpty(titles, k),
                    .borrowDate = itemOrEmpty(dates, k),
                    .dueDate = {},
                    .daysLeft = {}};
        if (const auto borrowed = text::parseDateTime(row.borrowDate)) {
            const text::DateTime due = text::addDays(*borrowed, kLoanDays);
            row.dueDate = text::formatDateTime(due);
            row.daysLeft = dayCount(text::secondsBetween(midnight, due));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string titleListItem(std::string_view title) {
    std::string item;
    item.reserve(title.size());
    for (const char c : title) {
        if (c == '|') {
            item += kFullWidthBar;
        } else {
            item += c;
        }
    }
    if (text::endsWithLoneLeadByte(item)) {
        item.resize(item.size() - text::kByteEscapeLength);
    }
    return item;
}

std::string readerSummary(const library::Reader& reader, int loansShown) {
    return "班别：" + reader.group + "  姓名：" + reader.name + "  已借图书：" +
           std::to_string(loansShown) + " 本";
}

} // namespace chengxi::circulation
