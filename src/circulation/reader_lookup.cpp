#include "circulation/reader_lookup.h"

#include "store/database.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

#include <charconv>

namespace chengxi::circulation {

namespace names = ui::names::main;

namespace {

std::int64_t rowidOf(std::string_view digits) {
    std::int64_t rowid = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), rowid);
    return rowid;
}

std::optional<ReaderRecord> readFirstReader(store::Database& database, std::string_view card) {
    store::RecordSet& records = database.records;
    if (!records.open(database.connection, "select rowid, * from 读者数据 where 借书证号 = ?",
                      {store::Value(card)})) {
        return std::nullopt;
    }
    std::optional<ReaderRecord> reader;
    if (records.toFirst() && records.rowCount() > 0 && records.nextRow()) {
        reader = ReaderRecord{
            .group = records.read("班别"),
            .name = records.read("姓名"),
            .card = records.read("借书证号"),
            .bookNumbers = records.read("图书编号串"),
            .borrowDates = records.read("日期编号串"),
            .titles = records.read("书名串"),
            .rowid = rowidOf(records.read("rowid")),
        };
    }
    records.close();
    return reader;
}

} // namespace

std::optional<ReaderRecord> lookUpReader(const ui::Services& services, CirculationState& state,
                                         std::string_view card) {
    state.currentReader = card.empty() ? std::nullopt : readFirstReader(services.database, card);
    return state.currentReader;
}

void viewReader(const ui::Services& services, CirculationState& state) {
    ui::Window& main = services.mainWindow();
    const std::string card = main.control(names::kLookupCard).text();
    if (card.empty()) {
        main.setFocus(names::kLookupCard);
        services.screen.messageBox({"请输入借书证号", "提示"});
        return;
    }
    if (!ui::checkStorable(services, {card})) {
        return;
    }
    const std::optional<ReaderRecord> reader = lookUpReader(services, state, card);
    if (!reader) {
        services.screen.messageBox({"无该借书证号", "提示"});
        return;
    }
    main.control(names::kClass).setText(reader->group);
    main.control(names::kName).setText(reader->name);
    main.control(names::kAddCard).setText(reader->card);
}

} // namespace chengxi::circulation
