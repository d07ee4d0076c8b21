#pragma once

// Our 24-bit Bitmap seen by Qt: its bytes (blue, green, red per pixel) are
// exactly QImage::Format_BGR888, so no copy is needed to draw it.

#include <QImage>

#include "base/bitmap.h"

// A view of `bitmap`; valid while the bitmap is neither resized nor destroyed.
inline QImage BitmapView(const Bitmap& bitmap) {
  return QImage(bitmap.Data(), bitmap.Width(), bitmap.Height(), static_cast<qsizetype>(bitmap.RowBytes()),
                QImage::Format_BGR888);
}

// A copy of a QImage in our format.
inline Bitmap ToBitmap(const QImage& image) {
  const QImage converted = image.convertToFormat(QImage::Format_BGR888);
  Bitmap bitmap(converted.width(), converted.height());
  for (int y = 0; y < converted.height(); ++y) {
    std::copy_n(converted.constScanLine(y), bitmap.RowBytes(), bitmap.Row(y));
  }
  return bitmap;
}
