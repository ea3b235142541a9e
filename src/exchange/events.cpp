#include "exchange/events.h"

#include "exchange/book_import.h"
#include "exchange/exports.h"
#include "exchange/reader_import.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"

namespace chengxi::exchange {

namespace names = ui::names::main;

void bindEvents(ui::EventBinder& binder, const ui::Services& services, ExchangeState& state,
                catalog::CatalogueState& catalogue) {
    binder.onClick(names::kWindow, names::kChooseBookFile,
                   [&services] { chooseBookFile(services); });
    binder.onBusyClick(names::kImportBooks, [&services, &state, &catalogue] {
        importBooksClick(services, state, catalogue);
    });
    binder.onClick(names::kWindow, names::kChooseReaderFile,
                   [&services] { chooseReaderFile(services); });
    binder.onBusyClick(names::kImportReaders,
                       [&services, &state] { importReadersClick(services, state); });
    binder.onBusyClick(names::kExportBooks, [&services, &state] { exportBooks(services, state); });
    binder.onBusyClick(names::kExportReaders,
                       [&services, &state] { exportReaders(services, state); });
    binder.onBusyClick(names::kExportReport,
                       [&services, &state] { exportLoanReport(services, state); });
}

} // namespace chengxi::exchange
