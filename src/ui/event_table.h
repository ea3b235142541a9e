#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

namespace chengxi::ui {

enum class Event {
    FirstActivated,
    Created,
    AboutToBeDestroyed,
    Clicked,
    RowSelected,
    SelectionChanged,
    PageChanged,
    Spin, // argument 1 for the upper spin button, -1 for the lower
    // Enter in the control holding the focus; without a binding of its own
    // the window's default button is pressed.
    EnterPressed,
};

// Which operation runs for which control event. An event without a binding
// does nothing. The window's own events use the empty control name.
class EventTable {
public:
    using Handler = std::function<void(int argument)>;

    void bind(std::string_view window, std::string_view control, Event event, Handler handler);
    // Runs the bound operation; false when nothing is bound.
    bool run(std::string_view window, std::string_view control, Event event, int argument) const;
    bool isBound(std::string_view window, std::string_view control, Event event) const;

private:
    using Key = std::tuple<std::string, std::string, Event>;
    std::map<Key, Handler, std::less<>> handlers_;
};

} // namespace chengxi::ui
