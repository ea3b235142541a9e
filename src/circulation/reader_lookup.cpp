#include "circulation/reader_lookup.h"

#include "library/readers.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

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

ReaderLookup readFirstReader(store::Database& database, std::string_view card) {
    const std::optional<std::vector<library::Reader>> readers =
        library::readersWithCard(database, card);
    if (!readers) {
        return {std::nullopt, failureOf(database.connection)};
    }
    ReaderLookup found;
    if (!readers->empty()) {
        found.reader = readers->front();
    }
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
    const library::Reader& reader = *found.reader;
    main.control(names::kClass).setText(reader.group);
    main.control(names::kName).setText(reader.name);
    main.control(names::kAddCard).setText(reader.card);
}

} // namespace chengxi::circulation
