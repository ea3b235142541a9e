#pragma once

#include "ui/print_document.h"

class QPrinter;
class QWidget;

namespace chengxi::qt {

// Lays the document out on the printer's sheets: each page of the document
// starts a new sheet; a table too long for one continues on the next under
// its headers.
void paintDocument(QPrinter& printer, const ui::PrintDocument& document);

// The print preview of the document, modal; from it the librarian prints
// or saves a PDF. False when it was closed without printing.
bool previewDocument(const ui::PrintDocument& document, QWidget* parent);

} // namespace chengxi::qt
