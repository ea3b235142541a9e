#include "schoolyear/events.h"

#include "schoolyear/cards_dialog.h"
#include "schoolyear/leavers_export.h"
#include "schoolyear/promotion_dialog.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"

namespace chengxi::schoolyear {

void bindEvents(ui::EventBinder& binder, const ui::Services& services) {
    namespace mainw = ui::names::main;
    namespace names = ui::names::promotion;
    binder.onClick(mainw::kWindow, mainw::kPromote, [&services] { openPromotion(services); });
    binder.on(names::kWindow, names::kMoves, ui::Event::RowSelected,
              [&services](int) { takeMove(services); });
    const auto click = [&](std::string_view control, void (*operation)(const ui::Services&)) {
        binder.onClick(names::kWindow, control, [&services, operation] { operation(services); });
    };
    click(names::kSetNewClass, setNewClass);
    click(names::kSetGraduate, setGraduate);
    click(names::kSetUnchanged, setUnchanged);
    click(names::kApply, applyPromotion);
    click(names::kCancel, closePromotion);
    click(names::kClose, closePromotion);
    click(names::kExportLeavers, exportLeavers);
    click(names::kPrintLeavers, printLeavers);

    namespace cards = ui::names::cards;
    binder.onClick(mainw::kWindow, mainw::kCards, [&services] { openCards(services); });
    const auto cardsClick = [&](std::string_view control, void (*operation)(const ui::Services&)) {
        binder.onClick(cards::kWindow, control, [&services, operation] { operation(services); });
    };
    cardsClick(cards::kChooseClass, chooseClass);
    cardsClick(cards::kChooseReader, chooseReader);
    cardsClick(cards::kChooseNone, chooseNone);
    cardsClick(cards::kPrint, printCards);
    cardsClick(cards::kSavePdf, saveCardsAsPdf);
    cardsClick(cards::kCancel, closeCards);
    cardsClick(cards::kClose, closeCards);
}

} // namespace chengxi::schoolyear
