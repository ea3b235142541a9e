#include "readers/reader_listing.h"

#include "library/readers.h"
#include "text/list_column.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

#include <array>
#include <string>
#include <string_view>

namespace chengxi::readers {

namespace names = ui::names::main;

bool listReaders(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    ui::ListView& list = main.control(names::kReaderList).listView();
    list.clearRows();
    // The readers go into the list as stored: only the rows shown are decoded.
    int number = 0;
    std::string shown;
    const bool listed = library::forEachStoredReader(
        services.database, [&](const library::StoredReaderRow& reader) {
            shown = std::to_string(++number);
            const auto [group, name, card, bookNumbers] = reader;
            const std::array<std::string_view, 5> cells{
                shown, group, name, card,
                bookNumbers == text::kEmptyList ? std::string_view() : bookNumbers};
            list.appendEncodedRow(cells);
        });
    if (!listed) {
        list.clearRows();
        return false;
    }
    main.control(names::kReaderCount).setText("当前读者数量：" + std::to_string(number) + "个");
    return true;
}

} // namespace chengxi::readers
