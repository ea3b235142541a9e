#include "ui/controls/drawing.h"

#include <algorithm>

namespace chengxi::ui {

void Drawing::clear() {
    commands_.clear();
    ++revision_;
}

void Drawing::line(int x1, int y1, int x2, int y2) {
    commands_.push_back({DrawCommand::Kind::Line, x1, y1, x2, y2, {}});
    ++revision_;
}

void Drawing::text(int x, int y, std::string text) {
    commands_.push_back({DrawCommand::Kind::Text, x, y, 0, 0, std::move(text)});
    ++revision_;
}

int Drawing::lineCount() const {
    return static_cast<int>(std::count_if(commands_.begin(), commands_.end(), [](const auto& c) {
        return c.kind == DrawCommand::Kind::Line;
    }));
}

std::string Drawing::drawnText() const {
    std::string text;
    for (const auto& command : commands_) {
        if (command.kind == DrawCommand::Kind::Text) {
            text += command.text;
        }
    }
    return text;
}

void Drawing::setPenWidth(int width) {
    penWidth_ = std::clamp(width, 0, 32767);
    ++revision_;
}

} // namespace chengxi::ui
