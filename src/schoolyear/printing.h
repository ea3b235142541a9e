#pragma once

#include "ui/printout.h"

#include <string>

namespace chengxi::ui {
struct Services;
}

namespace chengxi::schoolyear {

// Prints on a printer chosen in the print dialog, or, with a path, writes a
// PDF file there (never over the program's own files); says how it went
// unless the librarian cancelled.
void printOrTell(const ui::Services& services, const ui::Printout& printout,
                 const std::string& pdfPath);

} // namespace chengxi::schoolyear
