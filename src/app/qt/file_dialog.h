#pragma once

#include "app/controls/control.h"

#include <QString>
#include <string_view>

namespace chengxi::app::qt {

// The dialog's filter text ("description|pattern|description|pattern") in
// Qt's form ("description (pattern);;...").
QString toNameFilters(std::string_view filter);

// Shows the open (type 0) or save (type 1) dialog the state describes: it
// opens in the initial folder when one is set, with the last chosen file
// name filled in; open needs an existing file, save asks before replacing
// one, and a name typed without extension gets the default extension. True
// with the chosen path in the state's file name when a file was chosen.
bool showFileDialog(FileDialogState& dialog);

} // namespace chengxi::app::qt
