#include "circulation/reader_lists.h"

#include "store/connection.h"

namespace chengxi::circulation {

bool writeLoanLists(store::Connection& connection, const ReaderRecord& reader, LoanLists lists) {
    return connection.execute(
        "update 读者数据 set 图书编号串=?,日期编号串=?,书名串=? where rowid=? and 借书证号=?",
        {std::move(lists.bookNumbers), std::move(lists.borrowDates), std::move(lists.titles),
         reader.rowid, reader.card});
}

} // namespace chengxi::circulation
