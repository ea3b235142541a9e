#include "ui/event_binder.h"

#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/frame.h"

#include <string>

namespace chengxi::ui {

void EventBinder::on(std::string_view window, std::string_view control, Event event,
                     EventTable::Handler handler) {
    table_.bind(window, control, event, std::move(handler));
}

void EventBinder::onClick(std::string_view window, std::string_view control,
                          std::function<void()> operation) {
    on(window, control, Event::Clicked, [op = std::move(operation)](int) { op(); });
}

void EventBinder::onBusyClick(std::string_view control, std::function<void()> operation) {
    onClick(names::main::kWindow, control,
            [&frame = frame_, name = std::string(control), op = std::move(operation)] {
                const auto setDisabled = [&](bool disabled) {
                    if (Window* main = frame.window(names::main::kWindow)) {
                        main->control(name).setDisabled(disabled);
                    }
                };
                setDisabled(true);
                op();
                setDisabled(false);
            });
}

} // namespace chengxi::ui
