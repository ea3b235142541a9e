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

void EventBinder::onEnter(std::string_view box, std::string_view button,
                          std::function<void()> then) {
    on(names::main::kWindow, box, Event::EnterPressed,
       [&table = table_, &frame = frame_, name = std::string(button), then = std::move(then)](int) {
           Window* main = frame.window(names::main::kWindow);
           if (main == nullptr || !main->isUsable(main->control(name))) {
               return;
           }
           table.run(names::main::kWindow, name, Event::Clicked, 0);
           if (then && !frame.ended() && frame.window(names::main::kWindow) != nullptr) {
               then();
           }
       });
}

} // namespace chengxi::ui
