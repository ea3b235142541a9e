#include "ui/services.h"

#include "library/initialisation.h"
#include "text/file_path.h"
#include "ui/forms/control_names.h"
#include "ui/frame.h"

#include <cstdio>
#include <cstdlib>

namespace chengxi::ui {
namespace {

Window& openWindow(Frame& frame, std::string_view id) {
    Window* window = frame.window(id);
    if (window == nullptr) {
        std::fprintf(stderr, "operation on window '%.*s', which is not open\n",
                     static_cast<int>(id.size()), id.data());
        std::abort();
    }
    return *window;
}

} // namespace

Window& Services::loginWindow() const {
    return openWindow(frame, names::login::kWindow);
}

Window& Services::mainWindow() const {
    return openWindow(frame, names::main::kWindow);
}

std::string Services::databasePath() const {
    return text::joinPath(programFolder, library::kDatabaseFileName);
}

} // namespace chengxi::ui
