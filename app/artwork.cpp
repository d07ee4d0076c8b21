#include "app/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

// The pictures live in a static library, whose resource registration the
// linker would otherwise drop.
static void EnsureArtwork() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(artwork);
    return true;
  }();
  (void)registered;
}

QPixmap Artwork(const QString& name, int width, int height) {
  EnsureArtwork();
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(QStringLiteral(":/artwork/%1.svg").arg(name));
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

QIcon ArtworkIcon(const QString& name, int size) { return QIcon(Artwork(name, size, size)); }
