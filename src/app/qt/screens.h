#pragma once

#include <string>

namespace chengxi::qt {

// Renders the windows without a desktop (the offscreen platform unless
// another is asked for): the login window to OUTDIR/login.png and each page
// of the main window to OUTDIR/main-0.png ... main-7.png and the book window to OUTDIR/book.png,
// running the program on a temporary program folder and settings file. `scale` is the device pixel
// ratio to draw at. Returns the exit code.
int renderScreens(int argc, char* argv[], const std::string& outDir, double scale = 1.0);

} // namespace chengxi::qt
