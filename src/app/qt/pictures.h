#pragma once

#include "ui/controls/form_records.h"

#include <QPixmap>
#include <QSize>

// The images of the header strip, drawn by the program itself.
namespace chengxi::qt {

enum class PictureState { Normal, Hover, Pressed, Disabled };

QPixmap drawPicture(ui::Picture picture, QSize size, PictureState state = PictureState::Normal);

} // namespace chengxi::qt
