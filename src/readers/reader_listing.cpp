#include "readers/reader_listing.h"

#include "app/controls/window.h"
#include "app/forms/control_names.h"
#include "store/database.h"
#include "text/list_column.h"

namespace chengxi::readers {

namespace names = app::names::main;

void listReaders(app::Window& main, store::Database& database) {
    app::ListView& list = main.control(names::kReaderList).listView();
    list.clearRows();
    store::RecordSet& records = database.records;
    if (!records.open(database.connection, "select * from 读者数据")) {
        return;
    }
    records.toFirst();
    const int count = records.rowCount();
    main.control(names::kReaderCount).setText("当前读者数量：" + std::to_string(count) + "个");
    for (int i = 1; i <= count; ++i) {
        records.nextRow();
        const int row = list.appendRow();
        list.setCell(row, 0, std::to_string(i));
        list.setCell(row, 1, records.read("班别"));
        list.setCell(row, 2, records.read("姓名"));
        list.setCell(row, 3, records.read("借书证号"));
        if (std::string books = records.read("图书编号串"); books != text::kEmptyList) {
            list.setCell(row, 4, std::move(books));
        }
    }
    records.close();
}

} // namespace chengxi::readers
