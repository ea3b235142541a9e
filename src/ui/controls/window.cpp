#include "ui/controls/window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace chengxi::ui {

Window::Window(const FormRecord& record) : record_(&record) {
    controls_.reserve(record.controls.size());
    for (const ControlRecord& control : record.controls) {
        byName_.emplace(control.name, controls_.size());
        controls_.emplace_back(control);
    }
}

Control* Window::find(std::string_view name) {
    const auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : &controls_[found->second];
}

const Control* Window::find(std::string_view name) const {
    return const_cast<Window*>(this)->find(name);
}

Control& Window::control(std::string_view name) {
    Control* control = find(name);
    if (control == nullptr) {
        std::fprintf(stderr, "window %.*s has no control %.*s\n", static_cast<int>(id().size()),
                     id().data(), static_cast<int>(name.size()), name.data());
        std::abort();
    }
    return *control;
}

const Control& Window::control(std::string_view name) const {
    return const_cast<Window*>(this)->control(name);
}

void Window::setWindowState(int state) {
    state_ = (state == 2 || state == 3) ? state : 0;
}

void Window::setFocus(std::string_view name) {
    const Control& target = control(name);
    if (isShown(target)) {
        focus_ = target.name();
    }
}

void Window::setFocusSelectingText(std::string_view name) {
    setFocus(name);
    if (focus_ == name) {
        ++textSelections_;
    }
}

bool Window::focusFirstEntry(std::string_view otherwise) {
    for (const Control* each : readingOrder()) {
        if (each->kind() == ControlKind::EditBox && each->inputMode() != InputMode::ReadOnly &&
            isUsable(*each)) {
            focus_ = each->name();
            return true;
        }
    }
    focus_.clear();
    if (!otherwise.empty()) {
        setFocus(otherwise);
    }
    return false;
}

std::pair<int, int> Window::placeInWindow(const Control& control) const {
    int left = 0;
    int top = 0;
    for (const Control* c = &control; c != nullptr;
         c = c->parent().empty() ? nullptr : &this->control(c->parent())) {
        left += c->left();
        top += c->top();
    }
    return {left, top};
}

std::vector<const Control*> Window::readingOrder() const {
    struct Placed {
        const Control* control;
        std::pair<int, int> at; // left, top
    };
    std::vector<Placed> placed;
    placed.reserve(controls_.size());
    for (const Control& each : controls_) {
        placed.push_back({&each, placeInWindow(each)});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.at.second < b.at.second; });
    // Controls whose tops are this close stand in one row.
    constexpr int kRowTolerance = 10;
    for (auto row = placed.begin(); row != placed.end();) {
        auto end = row;
        while (end != placed.end() && end->at.second - row->at.second <= kRowTolerance) {
            ++end;
        }
        std::stable_sort(row, end,
                         [](const Placed& a, const Placed& b) { return a.at.first < b.at.first; });
        row = end;
    }
    std::vector<const Control*> order;
    order.reserve(placed.size());
    for (const Placed& each : placed) {
        order.push_back(each.control);
    }
    return order;
}

bool Window::isShown(const Control& control) const {
    for (const Control* c = &control; c != nullptr;) {
        if (!c->visible()) {
            return false;
        }
        if (c->parent().empty()) {
            return true;
        }
        const Control& parent = this->control(c->parent());
        if (parent.kind() == ControlKind::TabControl && parent.currentPage() != c->page()) {
            return false;
        }
        c = &parent;
    }
    return true;
}

bool Window::isUsable(const Control& control) const {
    if (!isShown(control)) {
        return false;
    }
    for (const Control* c = &control; c != nullptr;
         c = c->parent().empty() ? nullptr : &this->control(c->parent())) {
        if (c->disabled()) {
            return false;
        }
    }
    return true;
}

} // namespace chengxi::ui
