// Drawing the two window icons in the game's own palette.
#include "frontend/qt/window_icon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <array>

namespace krelmo::qt {

QImage GameIconImage(int size) {
  // Laid out on a 16-unit grid and scaled, so every size shows the same picture.
  const int u = size / 16;
  QImage pixmap(size, size, QImage::Format_RGB32);
  pixmap.fill(Qt::black);
  QPainter painter(&pixmap);
  painter.setPen(Qt::NoPen);
  // The frame walls: silver along the top and both sides.
  painter.fillRect(0, 0, size, u, QColor(192, 192, 192));
  painter.fillRect(0, 0, u, size, QColor(192, 192, 192));
  painter.fillRect(size - u, 0, u, size, QColor(192, 192, 192));
  // Three rows of bricks in the wall's top colours, with a gap knocked out.
  const std::array<QColor, 3> rows{QColor(255, 0, 255), QColor(0, 0, 255), QColor(0, 255, 0)};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      if (row == 2 && column == 1) continue;
      const int left = u + column * 14 * u / 3;
      painter.fillRect(left + (u > 1 ? 1 : 0), (2 + row * 2) * u, 14 * u / 3 - (u > 1 ? 2 : 1),
                       u * 2 - (u > 1 ? 1 : 0), rows[row]);
    }
  }
  // The ball on its way up through the gap, and the paddle.
  painter.fillRect(8 * u, 10 * u, 2 * u, 2 * u, Qt::white);
  painter.fillRect(5 * u, 14 * u, 6 * u, u, Qt::white);
  return pixmap;
}

QIcon GameIcon() {
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(GameIconImage(32)));
  icon.addPixmap(QPixmap::fromImage(GameIconImage(16)));
  return icon;
}

}  // namespace krelmo::qt
