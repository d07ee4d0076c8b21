#pragma once

// The program's own pictures (logos, icons, button glyphs), drawn from the
// SVG files compiled into the program at the size a control needs.

#include <QIcon>
#include <QPixmap>
#include <QString>

QPixmap Artwork(const QString& name, int width, int height);
QIcon ArtworkIcon(const QString& name, int size);
