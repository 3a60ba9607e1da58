// An image handle's pixels.
#pragma once
#include <QPixmap>

namespace platform::ui {

struct Image {
  QPixmap pixmap;
};

}  // namespace platform::ui
