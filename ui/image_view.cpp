#include "ui/image_view.h"

#include <QMouseEvent>
#include <QPainter>

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  Reset(1280, 1024);
}

void ImageView::SetPicture(QImage picture) {
  picture_ = std::move(picture);
  setFixedSize(picture_.size());
  update();
}

void ImageView::Reset(int width, int height) {
  QImage white(width, height, QImage::Format_RGB32);
  white.fill(Qt::white);
  SetPicture(std::move(white));
}

void ImageView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), picture_, event->rect());
}

void ImageView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  emit MouseMoved(p.x(), p.y());
}
