// The surface's font renderer: DejaVu Sans Bold from the program's resources, one bit a pixel.
#include "frontend/qt/qt_font_renderer.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QtGlobal>

#include "frontend/qt/embedded_resources.h"

namespace krelmo::qt {

namespace {
constexpr const char* kEmbeddedFont = ":/fonts/DejaVuSans-Bold.ttf";
}

QtFontRenderer::QtFontRenderer() {
  EnsureEmbeddedResources();
  const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kEmbeddedFont));
  const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
  if (families.isEmpty()) {
    qWarning("krelmo99: the game's font %s is missing; text uses the default font", kEmbeddedFont);
  } else {
    font_ = QFont(families.first());
    embedded_ = true;
  }
  font_.setWeight(QFont::Bold);
  font_.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
  font_.setHintingPreference(QFont::PreferFullHinting);
  font_.setKerning(false);
  // The largest size whose lines still fit the scoreboard bar.
  for (int pixels = kMaxLineHeight; pixels > 6; --pixels) {
    font_.setPixelSize(pixels);
    if (QFontMetrics(font_).height() <= kMaxLineHeight) break;
  }
}

platform::TextMask QtFontRenderer::Render(std::string_view text) const {
  // The game's strings are single-byte Western text.
  const QString line = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  const QFontMetrics metrics(font_);
  platform::TextMask mask;
  mask.width = metrics.horizontalAdvance(line);
  mask.height = metrics.height();
  mask.ink.assign(static_cast<std::size_t>(mask.width * mask.height), 0);
  if (mask.width == 0) return mask;

  QImage image(mask.width, mask.height, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setFont(font_);
  painter.setPen(Qt::white);
  painter.drawText(0, metrics.ascent(), line);
  painter.end();

  for (int y = 0; y < mask.height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < mask.width; ++x) {
      mask.ink[static_cast<std::size_t>(y * mask.width + x)] = qGreen(row[x]) >= 128 ? 1 : 0;
    }
  }
  return mask;
}

}  // namespace krelmo::qt
