#pragma once

#include "ui/controls/form_records.h"

#include <QColor>
#include <QFont>

// The shared look of both windows: colours and faces.
namespace chengxi::qt {

QColor windowBackground();
// The page area of the tab control, light so that lists and edits sit calmly on it.
QColor pageBackground();
// The strip behind a status label, a tint of the page.
QColor statusBackground();
// The lines of frames on a page: group boxes and the page area's border.
QColor frameLine();
// Text drawn straight on the blue window, and text on a page or in a frame.
QColor textOnWindow();
QColor textOnPage();

// The default face at the size the forms were laid out for (12 pixels).
QFont defaultFont();
// The bold Kai face of the window titles and the page tabs.
QFont kaiFont(int pixelSize, bool bold);
// A form's font record; `fallback` where it names no size.
QFont fontFor(const ui::FontRecord& record, const QFont& fallback);

// The height of the header strip by which a window can be dragged.
inline constexpr int kHeaderHeight = 40;

} // namespace chengxi::qt
