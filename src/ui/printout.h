#pragma once

#include <string>
#include <vector>

// Pages to print, as plain data: what the front end draws on an A4 sheet
// (or a PDF page). Places and sizes are millimetres from the page's top left.
namespace chengxi::ui {

inline constexpr double kA4Width = 210.0;
inline constexpr double kA4Height = 297.0;

struct PrintText {
    double left = 0, top = 0, width = 0, height = 0;
    std::string text; // UTF-8, one line, shrunk by the front end to fit the width
    double pointSize = 10;
    bool bold = false;
    bool centred = false;
};

// A black rectangle (a bar of a barcode) or, unfilled, a thin frame.
struct PrintBox {
    double left = 0, top = 0, width = 0, height = 0;
    bool filled = true;
};

struct PrintSheet {
    std::vector<PrintText> texts;
    std::vector<PrintBox> boxes;
};

struct Printout {
    std::string title; // the print job's name
    std::vector<PrintSheet> pages;
};

// Where a printout goes and how it went.
struct PrintResult {
    bool printed = false;
    bool cancelled = false; // the librarian closed the print dialog
    std::string failure;    // why it was not printed, when it was not cancelled
};

} // namespace chengxi::ui
