#pragma once

#include "app/controls/form_records.h"

#include <QPixmap>
#include <QSize>

// The images of the header strip, drawn by the program itself.
namespace chengxi::app::qt {

enum class PictureState { Normal, Hover, Pressed, Disabled };

QPixmap drawPicture(Picture picture, QSize size, PictureState state = PictureState::Normal);

} // namespace chengxi::app::qt
