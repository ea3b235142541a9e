#include "catalog/catalogue.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <string>

namespace chengxi::catalog {
namespace {

namespace names = ui::names::main;

constexpr int kBookNumberColumn = 3;

} // namespace

void takeBookNumber(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    const ui::ListView& results = main.control(names::kSearchResults).listView();
    main.control(names::kSelectedBook).setText(results.cell(results.selected(), kBookNumberColumn));
}

void copyBookNumber(const ui::Services& services) {
    services.screen.setClipboardText(services.mainWindow().control(names::kSelectedBook).text());
    // What the clipboard really holds now is what the librarian is shown.
    services.screen.messageBox({services.screen.clipboardText(), "剪辑板的内容"});
}

} // namespace chengxi::catalog
