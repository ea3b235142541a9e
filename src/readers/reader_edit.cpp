#include "readers/reader_edit.h"

#include "readers/reader_listing.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace chengxi::readers {
namespace {

namespace names = ui::names::main;

struct StoredReader {
    std::int64_t rowId = 0;
    std::string readerClass;
    std::string name;
};

void tell(const ui::Services& services, std::string text, std::string title = "提示") {
    services.screen.messageBox({std::move(text), std::move(title)});
}

// Every row carrying the card; nothing when the table could not be read.
std::optional<std::vector<StoredReader>> rowsWithCard(store::Database& database,
                                                      const std::string& card) {
    store::RecordSet& records = database.records;
    if (!records.open(database.connection,
                      "select rowid as 行号, 班别, 姓名 from 读者数据 where 借书证号 = ?",
                      {card}) ||
        !records.toFirst()) {
        records.close();
        return std::nullopt;
    }
    std::vector<StoredReader> rows;
    while (records.nextRow()) {
        const std::string rowId = records.read("行号");
        StoredReader row{0, records.read("班别"), records.read("姓名")};
        std::from_chars(rowId.data(), rowId.data() + rowId.size(), row.rowId);
        rows.push_back(std::move(row));
    }
    records.close();
    return rows;
}

// The row to change: the only one with the card, or among several the one
// the librarian took from the list. Null when that cannot be told.
const StoredReader* chooseRow(const std::vector<StoredReader>& rows, const ui::ListView& list,
                              const std::string& card) {
    if (rows.size() == 1) {
        return &rows.front();
    }
    const int taken = list.selected();
    if (taken < 0 || list.cell(taken, 3) != card) {
        return nullptr;
    }
    for (const StoredReader& row : rows) {
        if (row.readerClass == list.cell(taken, 1) && row.name == list.cell(taken, 2)) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

void editReader(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const std::string readerClass = main.control(names::kClass).text();
    const std::string name = main.control(names::kName).text();
    const std::string card = main.control(names::kAddCard).text();
    if (readerClass.empty() || name.empty() || card.empty()) {
        tell(services, "请输入完整的读者信息");
        return;
    }
    if (!ui::checkStorable(services, {readerClass, name, card})) {
        return;
    }
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
    const std::optional<std::vector<StoredReader>> rows = rowsWithCard(database, card);
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
    const StoredReader* row = chooseRow(*rows, main.control(names::kReaderList).listView(), card);
    if (row == nullptr) {
        tell(services, "有" + std::to_string(rows->size()) + "个读者使用借书证号" + card +
                           "，请先在列表中选中要修改的那一个。");
        return;
    }
    if (row->readerClass == readerClass && row->name == name) {
        tell(services, "读者信息没有改动。");
        return;
    }
    for (const StoredReader& other : *rows) {
        if (other.rowId != row->rowId && other.readerClass == readerClass && other.name == name) {
            tell(services, "已有相同的读者：" + readerClass + " " + name + " " + card +
                               "，不能修改成一样的。");
            return;
        }
    }
    if (!database.connection.execute("update 读者数据 set 班别 = ?, 姓名 = ? where rowid = ?",
                                     {readerClass, name, row->rowId}) ||
        database.connection.changes() != 1) {
        const std::string_view cause = store::failureCause(database.connection);
        tell(services,
             cause.empty() ? "修改读者信息失败" : "修改读者信息失败：" + std::string(cause));
        return;
    }
    listReaders(services);
}

} // namespace chengxi::readers
