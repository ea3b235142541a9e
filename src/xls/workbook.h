#pragma once

#include "xls/sheet.h"
#include "xls/string_pool.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::xls {

struct Font {
    std::string name = "宋体";
    std::uint16_t height = 240; // 1/20 point
    std::uint16_t weight = 400; // 700 is bold
    bool italic = false;
    bool strikeout = false;
    std::uint16_t colour = 0x7FFF; // the window text colour
    std::uint16_t escapement = 0;
    std::uint8_t underline = 0;
    std::uint8_t family = 2;
    std::uint8_t charset = 0x86; // GB2312
    // The format numbers fonts 0, 1, 2, 3, 5, ...: index 4 does not exist,
    // and this placeholder stands in for it.
    bool placeholder = false;
};

// A number format given in the file; formats the file does not list are
// the built-in ones known by number.
struct NumberFormat {
    std::uint16_t id = 0;
    std::string code;
};

// An extended format (XF): the font and number format of a cell. The first
// sixteen of a workbook are the style formats 0-14 and the default cell
// format 15.
struct CellStyle {
    std::uint16_t font = 0;
    std::uint16_t numberFormat = 0;
    bool isStyle = false;
};

inline constexpr std::uint16_t kDefaultCellStyle = 15;

// A workbook in memory: what the reader produces, the writer consumes and
// the connection edits.
class Workbook {
public:
    std::vector<Font> fonts;
    std::vector<NumberFormat> numberFormats;
    std::vector<CellStyle> styles;
    StringPool strings;
    std::vector<Sheet> sheets;
    bool dateMode1904 = false;

    // The sheet with this name, letter case aside, or null.
    Sheet* findSheet(std::string_view name);
    const Sheet* findSheet(std::string_view name) const;

    // True when a number in a cell of this style is a date or time.
    bool isDateStyle(std::uint16_t style) const {
        return style < dateStyles_.size() ? dateStyles_[style] != 0 : computeDateStyle(style);
    }
    // Recomputes the date flags after styles or number formats change.
    void refreshDateStyles();

private:
    bool computeDateStyle(std::uint16_t style) const;

    std::vector<std::uint8_t> dateStyles_;
};

} // namespace chengxi::xls
