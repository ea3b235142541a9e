#include "ui/event_table.h"

namespace chengxi::ui {

void EventTable::bind(std::string_view window, std::string_view control, Event event,
                      Handler handler) {
    handlers_[Key{window, control, event}] = std::move(handler);
}

bool EventTable::run(std::string_view window, std::string_view control, Event event,
                     int argument) const {
    const auto found = handlers_.find(Key{window, control, event});
    if (found == handlers_.end()) {
        return false;
    }
    // A copy: the handler may rebind or the table may outlive nothing else.
    const Handler handler = found->second;
    handler(argument);
    return true;
}

bool EventTable::isBound(std::string_view window, std::string_view control, Event event) const {
    return handlers_.contains(Key{window, control, event});
}

} // namespace chengxi::ui
