#include "ui/controls/window.h"

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
    focus_ = control(name).name();
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
