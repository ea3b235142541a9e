#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace chengxi::circulation {

// One row of 读者数据, column by column. Kept apart rather than joined into one
// text, so a comma in a class, name or title cannot shift the fields.
struct ReaderRecord {
    std::string group;       // 班别
    std::string name;        // 姓名
    std::string card;        // 借书证号
    std::string bookNumbers; // 图书编号串
    std::string borrowDates; // 日期编号串
    std::string titles;      // 书名串
    // The row it was read from: several rows may carry one card number
    // (written elsewhere), and each keeps its own loans.
    std::int64_t rowid = 0;

    friend bool operator==(const ReaderRecord&, const ReaderRecord&) = default;
};

// What the lending page remembers between clicks, for the life of the main window.
struct CirculationState {
    // The reader found by the last lookup; nothing after a lookup that found none.
    std::optional<ReaderRecord> currentReader;
    // The card box's text at the last loan list refresh: the list shows this
    // card's loans, and a return is refused once the box says otherwise.
    std::string currentCard;
    // The reader whose loans the list shows, read with it; a return writes
    // this reader's row even when another reader was looked up since.
    std::optional<ReaderRecord> listedReader;
    // The title of the book found by the last lend-state lookup.
    std::string currentBookTitle;
};

} // namespace chengxi::circulation
