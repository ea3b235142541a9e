#include "exchange/page_hooks.h"

#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/services.h"

#include <string>

namespace chengxi::exchange {

namespace names = ui::names::main;

void mainWindowCreated(const ui::Services& services) {
    ui::ListView& preview = services.mainWindow().control(names::kPreviewList).listView();
    preview.setViewType(3);
    preview.setGridLines(true);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        preview.addColumn({std::string(1, letter), 90, ui::Alignment::Centre});
    }
}

} // namespace chengxi::exchange
