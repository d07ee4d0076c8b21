#include "ui/picture_box.h"

#include <QPainter>

#include "ui/bitmap_image.h"

PictureBox::PictureBox(int width, int height, QWidget* parent) : QWidget(parent) { setFixedSize(width, height); }

void PictureBox::SetPicture(const Bitmap& picture) {
  picture_ = BitmapView(picture).copy();
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (picture_.isNull()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), picture_);
}
