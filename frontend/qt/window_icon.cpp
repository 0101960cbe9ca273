// The window's icons: the game's own picture (resources/icon_picture.h) as Qt images.
#include "frontend/qt/window_icon.h"

#include <QPixmap>

#include "resources/icon_picture.h"

namespace krelmo::qt {

QImage GameIconImage(int size) {
  const std::vector<Colour> pixels = resources::GameIconPixels(size);
  // The colours' 0x00BBGGRR words are the bytes R, G, B, 0 in memory.
  const QImage view(reinterpret_cast<const uchar*>(pixels.data()), size, size, size * 4,
                    QImage::Format_RGBX8888);
  return view.convertToFormat(QImage::Format_RGB32);
}

QIcon GameIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(GameIconImage(32)));
  icon.addPixmap(QPixmap::fromImage(GameIconImage(16)));
  return icon;
}

}  // namespace krelmo::qt
