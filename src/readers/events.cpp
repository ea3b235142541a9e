#include "readers/events.h"

#include "readers/reader_edit.h"
#include "readers/reader_listing.h"
#include "readers/reader_register.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"

namespace chengxi::readers {

void bindEvents(ui::EventBinder& binder, const ui::Services& services) {
    namespace names = ui::names::main;
    binder.onBusyClick(names::kRefreshReaders, [&services] { listReaders(services); });
    binder.onClick(names::kWindow, names::kAddReader, [&services] { addReader(services); });
    binder.onClick(names::kWindow, names::kEditReader, [&services] { editReader(services); });
    binder.onClick(names::kWindow, names::kDeleteReader, [&services] { deleteReader(services); });
    binder.on(names::kWindow, names::kReaderList, ui::Event::RowSelected,
              [&services](int) { takeReader(services); });
    for (const auto box : {names::kClass, names::kName, names::kAddCard}) {
        binder.onEnter(box, names::kAddReader);
    }
    binder.onEnter(names::kLookupCard, names::kViewReader);
}

} // namespace chengxi::readers
