#pragma once

// A tolerance indicator: a round shape whose colour is the state (white not
// evaluated, green within tolerance, red out of tolerance).

#include <QColor>
#include <QWidget>

#include "station/station_panel.h"

// The brush of an indicator state: white, green (0, 128, 0) or red.
QColor IndicatorColour(Indicator state);

class ToleranceShape final : public QWidget {
  Q_OBJECT
public:
  explicit ToleranceShape(QWidget* parent = nullptr);

  void SetState(Indicator state);
  Indicator State() const { return state_; }
  QColor Brush() const { return IndicatorColour(state_); }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  Indicator state_ = Indicator::White;
};
