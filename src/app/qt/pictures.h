#pragma once

#include "ui/controls/form_records.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSize>

// The images of the header strip, drawn by the program itself.
namespace chengxi::qt {

enum class PictureState { Normal, Hover, Pressed, Disabled };

// Paints the picture into `area` (logical pixels) with the painter's own
// resolution, so it stays sharp at any device pixel ratio.
void paintPicture(QPainter& painter, ui::Picture picture, QSizeF area,
                  PictureState state = PictureState::Normal);

// The picture as a bitmap of `size` logical pixels at `devicePixelRatio`.
QPixmap drawPicture(ui::Picture picture, QSize size, PictureState state = PictureState::Normal,
                    qreal devicePixelRatio = 1.0);

// The program's icon at the usual icon sizes, for the window and the desktop.
QIcon programIcon();

} // namespace chengxi::qt
