#include "readers/reader_edit.h"

#include "library/readers.h"
#include "readers/reader_listing.h"
#include "readers/typed_reader.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <optional>
#include <string>
#include <vector>

namespace chengxi::readers {
namespace {

namespace names = ui::names::main;

void tell(const ui::Services& services, std::string text, std::string title = "提示") {
    services.screen.messageBox({std::move(text), std::move(title)});
}

// The row to change: the only one with the card, or among several the one
// the librarian took from the list. Null when that cannot be told.
const library::Reader* chooseRow(const std::vector<library::Reader>& rows, const ui::ListView& list,
                                 const std::string& card) {
    if (rows.size() == 1) {
        return &rows.front();
    }
    const int taken = list.selected();
    if (taken < 0 || list.cell(taken, 3) != card) {
        return nullptr;
    }
    for (const library::Reader& row : rows) {
        if (row.group == list.cell(taken, 1) && row.name == list.cell(taken, 2)) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

void editReader(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const std::optional<TypedReader> typed = typedReader(services);
    if (!typed) {
        return;
    }
    const std::string& readerClass = typed->readerClass;
    const std::string& name = typed->name;
    const std::string& card = typed->card;
    // The card box is changed only by taking or looking up a reader, which
    // also fills the look-up box: a card typed over it would change another
    // reader's class and name, not this reader's card.
    if (card != main.control(names::kLookupCard).text()) {
        main.setFocus(names::kAddCard);
        tell(services, "借书证号不能修改。请在列表中选中要修改的读者，或用“查看读者信息”找到他，"
                       "再修改班别或姓名。");
        return;
    }
    store::Database& database = services.database;
    const std::optional<std::vector<library::Reader>> rows = library::namesWithCard(database, card);
    if (!rows) {
        const std::string_view cause = store::failureCause(database.connection);
        tell(services,
             cause.empty() ? "读取读者数据失败" : "读取读者数据失败：" + std::string(cause));
        return;
    }
    if (rows->empty()) {
        tell(services, "不存在以下借书证号" + card);
        return;
    }
    const library::Reader* row =
        chooseRow(*rows, main.control(names::kReaderList).listView(), card);
    if (row == nullptr) {
        tell(services, "有" + std::to_string(rows->size()) + "个读者使用借书证号" + card +
                           "，请先在列表中选中要修改的那一个。");
        return;
    }
    if (row->group == readerClass && row->name == name) {
        tell(services, "读者信息没有改动。");
        return;
    }
    for (const library::Reader& other : *rows) {
        if (other.rowid != row->rowid && other.group == readerClass && other.name == name) {
            tell(services, "已有相同的读者：" + readerClass + " " + name + " " + card +
                               "，不能修改成一样的。");
            return;
        }
    }
    if (!library::renameReader(database.connection, row->rowid, readerClass, name)) {
        const std::string_view cause = store::failureCause(database.connection);
        tell(services,
             cause.empty() ? "修改读者信息失败" : "修改读者信息失败：" + std::string(cause));
        return;
    }
    listReaders(services);
}

} // namespace chengxi::readers
