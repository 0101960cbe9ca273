// Writes the game's icon into a hicolor theme tree: OUT/SIZExSIZE/apps/NAME.png for each size.
// Usage: krelmo-icons OUT NAME SIZE...
#include <QDir>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "frontend/qt/window_icon.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: krelmo-icons OUT NAME SIZE...\n");
    return 2;
  }
  for (int i = 3; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 16 || size % 16 != 0) {
      std::fprintf(stderr, "krelmo-icons: %s is not a multiple of 16\n", argv[i]);
      return 2;
    }
    const QString folder =
        QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    const QString file = folder + QStringLiteral("/%1.png").arg(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(folder) || !krelmo::qt::GameIconImage(size).save(file, "PNG")) {
      std::fprintf(stderr, "krelmo-icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
