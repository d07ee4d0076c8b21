#include "calibration/tolerance_shape.h"

#include <QPainter>

QColor IndicatorColour(Indicator state) {
  switch (state) {
    case Indicator::Green:
      return QColor(0, 128, 0);
    case Indicator::Red:
      return QColor(255, 0, 0);
    case Indicator::White:
      break;
  }
  return QColor(255, 255, 255);
}

ToleranceShape::ToleranceShape(QWidget* parent) : QWidget(parent) { setFixedSize(41, 41); }

void ToleranceShape::SetState(Indicator state) {
  state_ = state;
  update();
}

void ToleranceShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Brush());
  painter.drawEllipse(rect().adjusted(1, 1, -2, -2));
}
