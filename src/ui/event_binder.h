#pragma once

#include "ui/event_table.h"

#include <functional>
#include <string_view>

namespace chengxi::ui {

class Frame;

// How a feature ties its operations to the controls of a window.
class EventBinder {
public:
    EventBinder(EventTable& table, Frame& frame) : table_(table), frame_(frame) {}

    void on(std::string_view window, std::string_view control, Event event,
            EventTable::Handler handler);
    void onClick(std::string_view window, std::string_view control,
                 std::function<void()> operation);
    // A main-window button that is disabled while its own operation runs and
    // enabled again afterwards, unless the operation ended the program.
    void onBusyClick(std::string_view control, std::function<void()> operation);
    // Enter in an edit box of the main window does what a click on `button`
    // does, when a person could click it; `then` runs afterwards either way
    // (where the keyboard goes next).
    void onEnter(std::string_view box, std::string_view button, std::function<void()> then = {});

private:
    EventTable& table_;
    Frame& frame_;
};

} // namespace chengxi::ui
