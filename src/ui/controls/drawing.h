#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace chengxi::ui {

struct DrawCommand {
    enum class Kind { Line, Text };
    Kind kind = Kind::Line;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // a line's ends; a text's top left is (x1, y1)
    std::string text;
};

// What a drawing panel shows: the commands drawn since it was last cleared,
// in order, painted by the front end with the panel's own pen and font.
class Drawing {
public:
    void clear();
    void line(int x1, int y1, int x2, int y2);
    void text(int x, int y, std::string text);

    const std::vector<DrawCommand>& commands() const { return commands_; }
    int lineCount() const;
    // The characters drawn, in drawing order.
    std::string drawnText() const;

    int penWidth() const { return penWidth_; }
    // Clamped to 0..32767.
    void setPenWidth(int width);

    std::uint64_t revision() const { return revision_; }

private:
    std::vector<DrawCommand> commands_;
    int penWidth_ = 1;
    std::uint64_t revision_ = 0;
};

} // namespace chengxi::ui
