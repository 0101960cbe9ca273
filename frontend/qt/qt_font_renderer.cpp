// Qt's rasterisation of the game's font, for the glyph table and its check.
#include "frontend/qt/qt_font_renderer.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QtGlobal>
#include <algorithm>

#include "frontend/qt/embedded_resources.h"
#include "frontend/qt/game_text.h"
#include "platform/cp1252.h"

namespace krelmo::qt {

namespace {

constexpr const char* kEmbeddedFont = ":/fonts/DejaVuSans-Bold.ttf";

// The image a line is drawn on, with room either side for ink outside its advance.
QImage Draw(const QFont& font, const QString& line, int width, int penX) {
  const QFontMetrics metrics(font);
  QImage image(width, metrics.height(), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(penX, metrics.ascent(), line);
  return image;
}

bool Inked(const QImage& image, int x, int y) {
  return qGreen(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]) >= 128;
}

}  // namespace

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
  // Glyph after glyph, as the platform's text output sets them: no ligatures ("fi"), no
  // kerning, so a string is the sum of its characters.
  font_.setStyleStrategy(
      QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging | QFont::PreferNoShaping));
  font_.setHintingPreference(QFont::PreferFullHinting);
  font_.setKerning(false);
  // The largest size whose lines still fit the scoreboard bar.
  for (int pixels = platform::kMaxTextHeight; pixels > 6; --pixels) {
    font_.setPixelSize(pixels);
    if (QFontMetrics(font_).height() <= platform::kMaxTextHeight) break;
  }
}

platform::TextMask QtFontRenderer::Render(std::string_view text) const {
  const QString line = FromGameText(text);
  platform::TextMask mask;
  mask.width = QFontMetrics(font_).horizontalAdvance(line);
  mask.height = QFontMetrics(font_).height();
  mask.ink.assign(static_cast<std::size_t>(mask.width * mask.height), 0);
  if (mask.width == 0) return mask;
  const QImage image = Draw(font_, line, mask.width, 0);
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      mask.ink[static_cast<std::size_t>(y * mask.width + x)] = Inked(image, x, y) ? 1 : 0;
    }
  }
  return mask;
}

platform::GlyphTable QtFontRenderer::MakeGlyphTable() const {
  constexpr int kMargin = 32;
  const QFontMetrics metrics(font_);
  platform::GlyphTable table;
  table.height = metrics.height();
  for (int code = 0; code < 256; ++code) {
    if (!platform::IsCp1252Printable(static_cast<std::uint8_t>(code))) continue;
    const char c = static_cast<char>(code);
    const QString line = FromGameText(std::string_view(&c, 1));
    platform::Glyph& glyph = table.glyphs[static_cast<std::size_t>(code)];
    const int advance = metrics.horizontalAdvance(line);
    glyph.advance = static_cast<std::uint8_t>(advance);
    const QImage image = Draw(font_, line, advance + 2 * kMargin, kMargin);
    int first = image.width();
    int last = -1;
    for (int y = 0; y < table.height; ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (!Inked(image, x, y)) continue;
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
    if (last < 0) continue;
    if (last - first >= 32) qFatal("glyph %d is wider than 32 pixels", code);
    glyph.left = static_cast<std::int8_t>(first - kMargin);
    table.maxLeftOverhang = std::max(table.maxLeftOverhang, -glyph.left);
    for (int y = 0; y < table.height; ++y) {
      for (int x = first; x <= last; ++x) {
        if (Inked(image, x, y)) glyph.rows[static_cast<std::size_t>(y)] |= 1u << (x - first);
      }
    }
  }
  return table;
}

}  // namespace krelmo::qt
