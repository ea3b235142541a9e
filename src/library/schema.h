#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

// The four tables of the library's database and their columns, spelt here
// only: a misspelt name is a compile error instead of an empty text at run time.
namespace chengxi::library {

inline constexpr std::string_view kReaderTable = "读者数据";
inline constexpr std::string_view kBookTable = "图书数据";
inline constexpr std::string_view kLendStateTable = "借出数据";
inline constexpr std::string_view kReportTable = "借阅报表";

namespace reader {
inline constexpr std::string_view kGroup = "班别";
inline constexpr std::string_view kName = "姓名";
inline constexpr std::string_view kCard = "借书证号";
inline constexpr std::string_view kBookNumbers = "图书编号串";
inline constexpr std::string_view kBorrowDates = "日期编号串";
inline constexpr std::string_view kTitles = "书名串";
inline constexpr std::array<std::string_view, 6> kColumns{kGroup,       kName,        kCard,
                                                          kBookNumbers, kBorrowDates, kTitles};
} // namespace reader

namespace book {
inline constexpr std::string_view kBarcode = "条形码";
inline constexpr std::string_view kNumber = "图书编号";
inline constexpr std::string_view kClassNumber = "分类号";
inline constexpr std::string_view kCategory = "图书类别";
inline constexpr std::string_view kCopyNumber = "复本号";
inline constexpr std::string_view kTitle = "书名";
inline constexpr std::string_view kAuthor = "著译者";
inline constexpr std::string_view kPublisher = "出版处";
inline constexpr std::string_view kPages = "页数";
inline constexpr std::string_view kFormat = "开本";
inline constexpr std::string_view kIssue = "版期";
inline constexpr std::string_view kEdition = "版次";
inline constexpr std::string_view kPrice = "单价";
inline constexpr std::string_view kShelf = "书架名称";
inline constexpr std::string_view kAddedOn = "入库时间";
inline constexpr std::string_view kLent = "是否借出";
inline constexpr std::array<std::string_view, 16> kColumns{
    kBarcode, kNumber, kClassNumber, kCategory, kCopyNumber, kTitle, kAuthor,  kPublisher,
    kPages,   kFormat, kIssue,       kEdition,  kPrice,      kShelf, kAddedOn, kLent};
} // namespace book

namespace lend_state {
inline constexpr std::string_view kBookNumber = "图书编号";
inline constexpr std::string_view kCard = "借书证号";
inline constexpr std::array<std::string_view, 2> kColumns{kBookNumber, kCard};
} // namespace lend_state

namespace report {
inline constexpr std::string_view kYear = "年份";
inline constexpr std::string_view kBookNumber = "图书编号";
inline constexpr std::string_view kTitle = "书名";
inline constexpr std::string_view kBorrower = "借阅者";
inline constexpr std::string_view kBorrowedOn = "借书日期";
inline constexpr std::string_view kReturnedOn = "还书日期";
inline constexpr std::array<std::string_view, 6> kColumns{kYear,     kBookNumber, kTitle,
                                                          kBorrower, kBorrowedOn, kReturnedOn};
// The columns an exported report shows: every one but the year.
inline constexpr std::span<const std::string_view> kShownColumns =
    std::span<const std::string_view>(kColumns).subspan(1);
} // namespace report

// One of the four tables: its columns, their declared lengths as the
// ","-separated list the initialisation takes, and the message shown when it
// cannot be made ready.
struct TableDefinition {
    std::string_view name;
    std::span<const std::string_view> columns;
    std::string_view sizes;
    std::string_view failureMessage;
};

// In the order the database is initialised, which is also the order of
// every count of the four tables' rows.
inline constexpr std::array<TableDefinition, 4> kTables{{
    {kReaderTable, reader::kColumns, "20,20,20,100,100,200", "读者数据库初始化失败"},
    {kBookTable, book::kColumns, "15,10,20,20,15,50,20,20,10,10,15,10,15,20,20,1",
     "图书数据库初始化失败"},
    {kLendStateTable, lend_state::kColumns, "15,20", "借出数据库初始化失败"},
    {kReportTable, report::kColumns, "4,10,50,15,11,11", "借阅报表数据库初始化失败"},
}};

// The table's columns as the ","-separated list it is made with.
std::string columnList(const TableDefinition& table);

inline constexpr std::array<std::string_view, 4> kTableNames{kReaderTable, kBookTable,
                                                             kLendStateTable, kReportTable};

} // namespace chengxi::library
