#pragma once

#include "ui/printout.h"

#include <string>

class QPainter;

namespace chengxi::qt {

// Draws one page of a printout with the painter, whose device is `dotsPerMm`
// dots to the millimetre from the paper's top left corner.
void paintPrintSheet(QPainter& painter, const ui::PrintSheet& page, double dotsPerMm);

// Every page on a printer the librarian chooses in the print dialog.
ui::PrintResult printOnPrinter(const ui::Printout& printout);

// Every page into a PDF file of A4 pages at `path` (UTF-8).
ui::PrintResult printToPdf(const ui::Printout& printout, const std::string& path);

} // namespace chengxi::qt
