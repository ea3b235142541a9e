#include "readers/typed_reader.h"

#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/typed_text.h"

namespace chengxi::readers {

namespace names = ui::names::main;

std::optional<TypedReader> typedReader(const ui::Services& services) {
    ui::Window& main = services.mainWindow();
    TypedReader typed{main.control(names::kClass).text(), main.control(names::kName).text(),
                      main.control(names::kAddCard).text()};
    if (typed.readerClass.empty() || typed.name.empty() || typed.card.empty()) {
        services.screen.messageBox({"请输入完整的读者信息", "提示"});
        return std::nullopt;
    }
    if (!ui::checkStorable(services, {typed.readerClass, typed.name, typed.card})) {
        return std::nullopt;
    }
    return typed;
}

} // namespace chengxi::readers
