#include "readers/reader_listing.h"

#include "library/readers.h"
#include "store/database.h"
#include "text/list_column.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

#include <optional>
#include <vector>

namespace chengxi::readers {

namespace names = ui::names::main;

bool listReaders(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    store::Database& database = services.database;
    ui::ListView& list = main.control(names::kReaderList).listView();
    list.clearRows();
    std::optional<std::vector<library::Reader>> readers = library::allReaders(database);
    if (!readers) {
        return false;
    }
    main.control(names::kReaderCount)
        .setText("当前读者数量：" + std::to_string(readers->size()) + "个");
    int number = 0;
    for (library::Reader& reader : *readers) {
        const int row = list.appendRow();
        list.setCell(row, 0, std::to_string(++number));
        list.setCell(row, 1, std::move(reader.group));
        list.setCell(row, 2, std::move(reader.name));
        list.setCell(row, 3, std::move(reader.card));
        if (reader.bookNumbers != text::kEmptyList) {
            list.setCell(row, 4, std::move(reader.bookNumbers));
        }
    }
    return true;
}

} // namespace chengxi::readers
