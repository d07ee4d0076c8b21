#pragma once

// "Simulated gauge": a small tool window to choose the sample under the
// simulated gauge and to press its trigger key, so the program can be tried
// and shown without the hardware.

#include <QWidget>

#include "capture/reference_samples.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class SimulatedGauge;

class SimulatedGaugePanel final : public QWidget {
  Q_OBJECT
public:
  // The samples rest under the gauge `truth` describes (its surface row,
  // tilt and depth response).
  SimulatedGaugePanel(SimulatedGauge& gauge, const GaugeTruth& truth, QWidget* parent = nullptr);

  // The sample the controls describe, as it lies on the bench.
  SimulatedSample Sample() const;
  void ApplySample();

  QComboBox* ShapeCombo;
  QDoubleSpinBox* DepthEdit;
  QDoubleSpinBox* WidthEdit;
  QDoubleSpinBox* AngleEdit;
  QDoubleSpinBox* RadiusEdit;
  QPushButton* TriggerKey;
  QCheckBox* Plugged;

private:
  void ShapeChanged();

  SimulatedGauge& gauge_;
  GaugeTruth truth_;
};
