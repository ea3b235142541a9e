#include "schoolyear/promotion_dialog.h"

#include "backups/backups.h"
#include "readers/grade_rule.h"
#include "readers/promotion.h"
#include "readers/reader_listing.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "text/integer_value.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"
#include "ui/frame.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "ui/typed_text.h"

#include <string>
#include <vector>

namespace chengxi::schoolyear {
namespace {

namespace names = ui::names::promotion;

enum MoveColumn { kClassColumn = 0, kReadersColumn = 1, kNewClassColumn = 2 };

void tell(const ui::Services& services, std::string text, std::string title = "提示") {
    services.screen.messageBox({std::move(text), std::move(title)});
}

ui::Window* dialog(const ui::Services& services) {
    return services.frame.window(names::kWindow);
}

// The moves as the list shows them: the list is what the librarian sees and
// what is applied.
std::vector<readers::ClassMove> listedMoves(const ui::ListView& list) {
    std::vector<readers::ClassMove> moves;
    moves.reserve(static_cast<std::size_t>(list.rowCount()));
    for (int row = 0; row < list.rowCount(); ++row) {
        moves.push_back({list.cell(row, kClassColumn),
                         static_cast<int>(text::integerValue(list.cell(row, kReadersColumn))),
                         list.cell(row, kNewClassColumn)});
    }
    return moves;
}

// Sets the new class of the selected row; false when no row is selected.
bool setSelected(const ui::Services& services, ui::Window& window, const std::string& newClass) {
    ui::ListView& list = window.control(names::kMoves).listView();
    const int row = list.selected();
    if (row < 0) {
        tell(services, "请先在列表中选中一个班别。");
        return false;
    }
    list.setCell(row, kNewClassColumn, newClass);
    window.control(names::kNewClass).setText(newClass);
    return true;
}

void showLeavers(ui::Window& window, const std::vector<readers::Leaver>& leavers) {
    ui::ListView& list = window.control(names::kLeavers).listView();
    list.clearRows();
    for (const readers::Leaver& leaver : leavers) {
        const int row = list.appendRow();
        list.setCell(row, 0, leaver.readerClass);
        list.setCell(row, 1, leaver.name);
        list.setCell(row, 2, leaver.card);
        list.setCell(row, 3, leaver.books);
        list.setCell(row, 4, leaver.titles);
    }
}

std::string summary(const readers::PromotionOutcome& outcome) {
    std::string text = "升级完成：" + std::to_string(outcome.moved) + "名读者升入新班别，" +
                       std::to_string(outcome.graduated) + "名毕业读者已删除，" +
                       std::to_string(outcome.unchanged) + "名读者班别不变";
    if (outcome.keptLeavers > 0) {
        text += "；" + std::to_string(outcome.keptLeavers) +
                "名毕业读者仍有图书未还，留在读者数据中，名单见下方";
    }
    return text + "。";
}

} // namespace

void openPromotion(const ui::Services& services) {
    std::vector<readers::ClassMove> moves;
    if (!readers::proposeMoves(services.database, moves)) {
        const std::string_view cause = store::failureCause(services.database.connection);
        tell(services,
             cause.empty() ? "读取读者数据失败" : "读取读者数据失败：" + std::string(cause));
        return;
    }
    if (moves.empty()) {
        tell(services, "没有读者，无需升级。");
        return;
    }
    ui::Window* window = services.frame.openDialog(ui::promotionForm());
    if (window == nullptr) {
        return;
    }
    ui::ListView& list = window->control(names::kMoves).listView();
    for (const readers::ClassMove& move : moves) {
        const int row = list.appendRow();
        list.setCell(row, kClassColumn, move.currentClass);
        list.setCell(row, kReadersColumn, std::to_string(move.readers));
        list.setCell(row, kNewClassColumn, move.newClass);
    }
}

void takeMove(const ui::Services& services) {
    ui::Window* window = dialog(services);
    const ui::ListView& list = window->control(names::kMoves).listView();
    window->control(names::kNewClass).setText(list.cell(list.selected(), kNewClassColumn));
}

void setNewClass(const ui::Services& services) {
    ui::Window* window = dialog(services);
    const std::string newClass = window->control(names::kNewClass).text();
    if (newClass.empty()) {
        window->setFocus(names::kNewClass);
        tell(services, "请输入新班别。");
        return;
    }
    if (!ui::checkStorable(services, {newClass})) {
        return;
    }
    setSelected(services, *window, newClass);
}

void setGraduate(const ui::Services& services) {
    setSelected(services, *dialog(services), std::string(readers::kGraduate));
}

void setUnchanged(const ui::Services& services) {
    ui::Window* window = dialog(services);
    const ui::ListView& list = window->control(names::kMoves).listView();
    if (list.selected() >= 0) {
        setSelected(services, *window, list.cell(list.selected(), kClassColumn));
    } else {
        setSelected(services, *window, {});
    }
}

void applyPromotion(const ui::Services& services) {
    ui::Window* window = dialog(services);
    const std::vector<readers::ClassMove> moves =
        listedMoves(window->control(names::kMoves).listView());
    const int year = services.clock.now().year;
    if (const std::string refusal = readers::movesRefusal(moves, year); !refusal.empty()) {
        tell(services, refusal);
        return;
    }
    const ui::Message question{
        .text = "确定要执行升级吗？执行之前先备份数据库。",
        .title = "警告",
        .buttons = ui::Buttons::OkCancel,
        .defaultButton = ui::Answer::Cancel,
    };
    if (services.screen.messageBox(question) != ui::Answer::Ok) {
        return;
    }
    if (const backups::BackupResult backup = backups::backup(services); !backup.made) {
        tell(services, std::string(backup.failure) + "升级没有执行。");
        return;
    }
    const readers::PromotionOutcome outcome = readers::applyMoves(services.database, moves, year);
    if (!outcome.applied) {
        tell(services, outcome.failure);
        return;
    }
    // Applied once: a second click would move every class up again.
    for (const std::string_view done :
         {names::kApply, names::kSetNewClass, names::kSetGraduate, names::kSetUnchanged}) {
        window->control(done).setDisabled(true);
    }
    window->control(names::kCancel).setText("关闭");
    showLeavers(*window, outcome.leavers);
    window->control(names::kPrintLeavers).setDisabled(outcome.leavers.empty());
    window->control(names::kExportLeavers).setDisabled(outcome.leavers.empty());
    readers::listReaders(services);
    tell(services, summary(outcome));
}

void closePromotion(const ui::Services& services) {
    services.frame.closeWindow(names::kWindow);
}

} // namespace chengxi::schoolyear
