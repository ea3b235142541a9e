#include "circulation/reader_lookup.h"

#include "store/database.h"
#include "store/failure_cause.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

#include <charconv>

namespace chengxi::circulation {

namespace names = ui::names::main;

namespace {

constexpr std::string_view kReadFailed = "读取读者数据失败";

// Why the look-up's query failed, for the librarian.
std::string failureOf(const store::Connection& connection) {
    const std::string_view cause = store::failureCause(connection);
    return cause.empty() ? std::string(kReadFailed) + "。"
                         : std::string(kReadFailed) + "：" + std::string(cause);
}

std::int64_t rowidOf(std::string_view digits) {
    std::int64_t rowid = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), rowid);
    return rowid;
}

ReaderLookup readFirstReader(store::Database& database, std::string_view card) {
    store::RecordSet& records = database.records;
    if (!records.open(database.connection, "select rowid, * from 读者数据 where 借书证号 = ?",
                      {store::Value(card)}) ||
        !records.toFirst()) {
        records.close();
        return {std::nullopt, failureOf(database.connection)};
    }
    ReaderLookup found;
    if (records.rowCount() > 0 && records.nextRow()) {
        found.reader = ReaderRecord{
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
    return found;
}

} // namespace

std::string ReaderLookup::whyNone(std::string_view unknownCard) const {
    return failure.empty() ? std::string(unknownCard) : failure;
}

ReaderLookup lookUpReader(const ui::Services& services, CirculationState& state,
                          std::string_view card) {
    ReaderLookup found = card.empty() ? ReaderLookup{} : readFirstReader(services.database, card);
    state.currentReader = found.reader;
    return found;
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
    const ReaderLookup found = lookUpReader(services, state, card);
    if (!found) {
        services.screen.messageBox({found.whyNone("无该借书证号"), "提示"});
        return;
    }
    const ReaderRecord& reader = *found.reader;
    main.control(names::kClass).setText(reader.group);
    main.control(names::kName).setText(reader.name);
    main.control(names::kAddCard).setText(reader.card);
}

} // namespace chengxi::circulation
