#include "readers/reader_register.h"

#include "library/readers.h"
#include "readers/reader_listing.h"
#include "readers/typed_reader.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "text/list_column.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace chengxi::readers {
namespace {

namespace names = ui::names::main;

void tell(const ui::Services& services, std::string text, std::string title = "提示") {
    services.screen.messageBox({std::move(text), std::move(title)});
}

// A look-up that another program's lock or damage stopped is said as such,
// not passed over nor taken for a card that is not there. False when the
// failure had another cause, which the caller reports its own way.
bool toldWhyUnread(const ui::Services& services) {
    const std::string_view cause = store::failureCause(services.database.connection);
    if (cause.empty()) {
        return false;
    }
    tell(services, "读取读者数据失败：" + std::string(cause));
    return true;
}

} // namespace

void addReader(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const std::optional<TypedReader> typed = typedReader(services);
    if (!typed) {
        return;
    }
    const std::string& readerClass = typed->readerClass;
    const std::string& name = typed->name;
    const std::string& card = typed->card;
    // "0" means "not lent" in the lend state: a book lent to card 0 would
    // look free.
    if (card == text::kEmptyList) {
        main.setFocus(names::kAddCard);
        tell(services, "借书证号不能为“0”，请输入其他借书证号。");
        return;
    }
    store::Database& database = services.database;
    // Without a count it is unknown whether the card is free: add nothing.
    const std::optional<std::vector<std::string>> bookLists =
        library::bookListsWithCard(database, card);
    if (!bookLists) {
        toldWhyUnread(services);
        return;
    }
    if (!bookLists->empty()) {
        tell(services, "已读者人使用以下借书证号：" + card);
        return;
    }
    if (!library::addReader(database.connection, readerClass, name, card)) {
        tell(services, "添加读者表失败");
        return;
    }
    listReaders(services);
}

void deleteReader(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const std::string card = main.control(names::kLookupCard).text();
    if (card.empty()) {
        main.setFocus(names::kLookupCard);
        tell(services, "请输入借书证号");
        return;
    }
    if (!ui::checkStorable(services, {card})) {
        return;
    }
    store::Database& database = services.database;
    const std::optional<std::vector<std::string>> bookLists =
        library::bookListsWithCard(database, card);
    if (!bookLists) {
        if (!toldWhyUnread(services)) {
            tell(services, "不存在以下借书证号" + card);
        }
        return;
    }
    if (bookLists->empty()) {
        tell(services, "不存在以下借书证号" + card);
        return;
    }
    // Every row with the card is deleted, so every one of them must have
    // returned its books: a second row holding loans would be lost otherwise.
    const bool holdsBooks =
        std::any_of(bookLists->begin(), bookLists->end(),
                    [](const std::string& books) { return books != text::kEmptyList; });
    if (holdsBooks) {
        tell(services, "该读者有图书未还，不能删除！", "警告");
        return;
    }
    const ui::Message question{.text = "确定要删除读者吗？ " + card,
                               .title = "提示",
                               .buttons = ui::Buttons::OkCancel,
                               .defaultButton = ui::Answer::Cancel};
    if (services.screen.messageBox(question) != ui::Answer::Ok) {
        return;
    }
    if (library::deleteReadersWithCard(database.connection, card)) {
        listReaders(services);
    }
}

void takeReader(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const ui::ListView& list = main.control(names::kReaderList).listView();
    const int row = list.selected();
    main.control(names::kClass).setText(list.cell(row, 1));
    main.control(names::kName).setText(list.cell(row, 2));
    main.control(names::kAddCard).setText(list.cell(row, 3));
    // Ready to be deleted or looked up at once.
    main.control(names::kLookupCard).setText(main.control(names::kAddCard).text());
}

} // namespace chengxi::readers
