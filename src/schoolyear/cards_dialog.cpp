#include "schoolyear/cards_dialog.h"

#include "auth/settings_file.h"
#include "library/readers.h"
#include "readers/library_cards.h"
#include "schoolyear/printing.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "text/cp936.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"
#include "ui/frame.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <optional>
#include <string>
#include <vector>

namespace chengxi::schoolyear {
namespace {

namespace names = ui::names::cards;

enum Column { kChosenColumn = 0, kClassColumn = 1, kNameColumn = 2, kCardColumn = 3 };
constexpr std::string_view kChosenMark = "√";

void tell(const ui::Services& services, std::string text) {
    services.screen.messageBox({std::move(text), "提示"});
}

ui::Window& dialog(const ui::Services& services) {
    return *services.frame.window(names::kWindow);
}

ui::ListView& readerList(const ui::Services& services) {
    return dialog(services).control(names::kReaders).listView();
}

void countChosen(const ui::Services& services) {
    const ui::ListView& list = readerList(services);
    int chosen = 0;
    for (int row = 0; row < list.rowCount(); ++row) {
        chosen += list.cell(row, kChosenColumn).empty() ? 0 : 1;
    }
    dialog(services).control(names::kChosenCount).setText("已选" + std::to_string(chosen) + "人");
}

int selectedRow(const ui::Services& services) {
    const int row = readerList(services).selected();
    if (row < 0) {
        tell(services, "请先在列表中选中一位读者。");
    }
    return row;
}

// The school's and library's name is kept in the settings file, so the
// next cards carry the same name without typing it again.
constexpr std::string_view kSettingsSection = "cards";
constexpr std::string_view kSchoolKey = "school";

void showKeptSchool(const ui::Services& services, ui::Window& window) {
    const std::optional<std::string> kept =
        auth::readSettingsValue(services.settingsFile, kSettingsSection, kSchoolKey);
    if (kept && !kept->empty()) {
        window.control(names::kSchool).setText(text::fromCp936(*kept));
    }
}

// Keeps the name when it is new and can be stored; the cards print either way.
void keepSchool(const ui::Services& services, const std::string& school) {
    const text::Cp936Bytes bytes = text::toCp936(school);
    const std::optional<std::string> kept =
        auth::readSettingsValue(services.settingsFile, kSettingsSection, kSchoolKey);
    if (bytes.ok() && kept && *kept != bytes.bytes &&
        auth::valueAsReadBack(bytes.bytes) == bytes.bytes) {
        auth::writeSettingsValue(services.settingsFile, kSettingsSection, kSchoolKey, bytes.bytes);
    }
}

// The printout of the chosen readers' cards; nothing when there is none to
// print, which is said.
std::optional<ui::Printout> chosenCards(const ui::Services& services) {
    const ui::ListView& list = readerList(services);
    std::vector<readers::CardHolder> holders;
    for (int row = 0; row < list.rowCount(); ++row) {
        if (!list.cell(row, kChosenColumn).empty()) {
            holders.push_back({list.cell(row, kClassColumn), list.cell(row, kNameColumn),
                               list.cell(row, kCardColumn)});
        }
    }
    if (holders.empty()) {
        tell(services, "请先选择要打印借书证的读者。");
        return std::nullopt;
    }
    const std::string school = dialog(services).control(names::kSchool).text();
    keepSchool(services, school);
    return readers::libraryCards(holders, school);
}

} // namespace

void openCards(const ui::Services& services) {
    store::Database& database = services.database;
    std::optional<std::vector<library::Reader>> holders = library::cardHolders(database);
    if (!holders) {
        const std::string_view cause = store::failureCause(database.connection);
        tell(services,
             cause.empty() ? "读取读者数据失败" : "读取读者数据失败：" + std::string(cause));
        return;
    }
    ui::Window* window = services.frame.openDialog(ui::cardsForm());
    if (window == nullptr) {
        return;
    }
    showKeptSchool(services, *window);
    ui::ListView& list = window->control(names::kReaders).listView();
    for (library::Reader& holder : *holders) {
        const int row = list.appendRow();
        list.setCell(row, kClassColumn, std::move(holder.group));
        list.setCell(row, kNameColumn, std::move(holder.name));
        list.setCell(row, kCardColumn, std::move(holder.card));
    }
}

void chooseClass(const ui::Services& services) {
    const int selected = selectedRow(services);
    if (selected < 0) {
        return;
    }
    ui::ListView& list = readerList(services);
    const std::string readerClass = list.cell(selected, kClassColumn);
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.cell(row, kClassColumn) == readerClass) {
            list.setCell(row, kChosenColumn, std::string(kChosenMark));
        }
    }
    countChosen(services);
}

void chooseReader(const ui::Services& services) {
    const int selected = selectedRow(services);
    if (selected < 0) {
        return;
    }
    ui::ListView& list = readerList(services);
    const bool chosen = !list.cell(selected, kChosenColumn).empty();
    list.setCell(selected, kChosenColumn, chosen ? std::string() : std::string(kChosenMark));
    countChosen(services);
}

void chooseNone(const ui::Services& services) {
    ui::ListView& list = readerList(services);
    for (int row = 0; row < list.rowCount(); ++row) {
        list.setCell(row, kChosenColumn, {});
    }
    countChosen(services);
}

void printCards(const ui::Services& services) {
    if (const std::optional<ui::Printout> cards = chosenCards(services)) {
        printOrTell(services, *cards, {});
    }
}

void saveCardsAsPdf(const ui::Services& services) {
    const std::optional<ui::Printout> cards = chosenCards(services);
    if (!cards) {
        return;
    }
    ui::FileDialogState& pdfDialog = dialog(services).control(names::kPdfDialog).fileDialog();
    pdfDialog.type = 1;
    if (services.screen.showFileDialog(pdfDialog)) {
        printOrTell(services, *cards, pdfDialog.fileName);
    }
}

void closeCards(const ui::Services& services) {
    services.frame.closeWindow(names::kWindow);
}

} // namespace chengxi::schoolyear
