#pragma once

#include "ui/controls/control.h"
#include "ui/controls/form_records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace chengxi::ui {

// A window as data: its controls in form order, addressed by their real names.
class Window {
public:
    explicit Window(const FormRecord& record);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    std::string_view id() const { return record_->id; }
    std::string_view caption() const { return record_->caption; }
    int width() const { return record_->width; }
    int height() const { return record_->height; }

    // Aborts on a name the form does not hold: a typo in the program.
    Control& control(std::string_view name);
    const Control& control(std::string_view name) const;
    // Null for an unknown name, for callers that take names from outside.
    Control* find(std::string_view name);
    const Control* find(std::string_view name) const;
    std::vector<Control>& controls() { return controls_; }
    const std::vector<Control>& controls() const { return controls_; }

    // 0 normal, 2 minimised, 3 maximised; writing 1 (centred) gives normal.
    int windowState() const { return state_; }
    void setWindowState(int state);

    // The control holding the keyboard focus (empty: none).
    const std::string& focus() const { return focus_; }
    // A control a person cannot see (a box on a page behind) never takes it.
    void setFocus(std::string_view name);
    // The same, with the box's whole text selected, so what is typed (or
    // scanned) next replaces it.
    void setFocusSelectingText(std::string_view name);
    // Grows at every request to select the focused box's text.
    std::uint64_t textSelectionRequests() const { return textSelections_; }
    // Puts the focus in the first edit box a person can type into, in reading
    // order; read-only and disabled boxes and those not shown are passed
    // over. Without one the focus goes to `otherwise` when it is shown, else
    // to no control. Returns whether a box took it.
    bool focusFirstEntry(std::string_view otherwise = {});

    // The controls as a person reads the window: by rows from the top, then
    // left to right, by their places in the window's client area.
    std::vector<const Control*> readingOrder() const;
    // The control's top left corner (left, top) in the window's client area.
    std::pair<int, int> placeInWindow(const Control& control) const;

    // Whether a person can see the control: it and its parents are visible and
    // every tab page on the way is the one in front.
    bool isShown(const Control& control) const;
    // Whether a person can use it: shown, and neither it nor a parent disabled.
    bool isUsable(const Control& control) const;

private:
    const FormRecord* record_;
    std::vector<Control> controls_;
    std::unordered_map<std::string_view, std::size_t> byName_;
    int state_ = 0;
    std::string focus_;
    std::uint64_t textSelections_ = 0;
};

} // namespace chengxi::ui
