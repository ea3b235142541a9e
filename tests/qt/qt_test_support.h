#pragma once

#include "app/qt/form_window.h"
#include "ui/controls/window.h"

#include <QCoreApplication>
#include <QEvent>
#include <string>
#include <vector>

namespace chengxi::testing {

// What a window reported to its host.
struct FiredEvent {
    std::string window;
    std::string control;
    ui::Event event;
    int argument;
    bool operator==(const FiredEvent&) const = default;
};

// A host that writes down every action a person takes. While `syncing` is
// set it takes no input, as the real front end does while it syncs.
class RecordingHost final : public qt::FormHost {
public:
    bool acceptsInput() const override { return !syncing; }
    void fire(std::string_view window, std::string_view control, ui::Event event,
              int argument) override {
        fired.push_back({std::string(window), std::string(control), event, argument});
    }
    void activated(std::string_view window) override { activations.emplace_back(window); }

    // Brings the window in step with its model the way the front end does.
    void sync(qt::FormWindow& form) {
        syncing = true;
        form.sync();
        syncing = false;
    }

    bool syncing = false;
    std::vector<FiredEvent> fired;
    std::vector<std::string> activations;
};

// Runs what is queued, including widgets waiting to be deleted.
inline void settle() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace chengxi::testing
