#pragma once

#include "ui/controls/control.h"

#include <QString>
#include <string_view>

class QFileDialog;

namespace chengxi::qt {

// The dialog's filter text ("description|pattern|description|pattern") in
// Qt's form ("description (pattern);;...").
QString toNameFilters(std::string_view filter);

// Sets the box up as the state describes: the open (type 0) or save (type 1)
// dialog with the filter and default extension, in the initial folder when
// one is set, with the last chosen file name filled in. Open needs an
// existing file; save asks before replacing one.
void prepareFileDialog(QFileDialog& box, const ui::FileDialogState& dialog);

// Shows the dialog; true with the chosen path in the state's file name when
// a file was chosen.
bool showFileDialog(ui::FileDialogState& dialog);

} // namespace chengxi::qt
