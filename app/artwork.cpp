#include "app/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

QPixmap Artwork(const QString& name, int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(QStringLiteral(":/artwork/%1.svg").arg(name));
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

QIcon ArtworkIcon(const QString& name, int size) { return QIcon(Artwork(name, size, size)); }
