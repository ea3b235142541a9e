#include "readers/reader_listing.h"

#include "store/database.h"
#include "text/list_column.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

namespace chengxi::readers {

namespace names = ui::names::main;

bool listReaders(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    store::Database& database = services.database;
    ui::ListView& list = main.control(names::kReaderList).listView();
    list.clearRows();
    store::RecordSet& records = database.records;
    if (!records.open(database.connection, "select * from 读者数据")) {
        return false;
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
    return true;
}

} // namespace chengxi::readers
