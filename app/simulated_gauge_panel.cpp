#include "app/simulated_gauge_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>

#include "capture/simulated_gauge.h"

namespace {

// Index of the shape list: the four channel shapes and the flat reference
// sample without a channel.
enum ShapeItem { kFlat, kTrapezoid, kV, kRound, kFlatReference };

QDoubleSpinBox* MillimetreBox(QWidget* parent, const char* name, double value, double min, double max,
                              const char* suffix = " mm") {
  auto* box = new QDoubleSpinBox(parent);
  box->setObjectName(name);
  box->setDecimals(3);
  box->setSingleStep(0.05);
  box->setRange(min, max);
  box->setValue(value);
  box->setSuffix(suffix);
  return box;
}

}  // namespace

SimulatedGaugePanel::SimulatedGaugePanel(SimulatedGauge& gauge, const GaugeTruth& truth, QWidget* parent)
    : QWidget(parent, Qt::Tool), gauge_(gauge), truth_(truth) {
  setObjectName("SimulatedGaugePanel");
  setWindowTitle("Simulated gauge");
  ShapeCombo = new QComboBox(this);
  ShapeCombo->setObjectName("ShapeCombo");
  ShapeCombo->addItems({"Flat", "Trapezoid", "V", "Round", "Flat reference sample"});
  DepthEdit = MillimetreBox(this, "DepthEdit", 0.5, 0.05, 3.0);
  WidthEdit = MillimetreBox(this, "WidthEdit", 1.4, 0.3, 7.0);
  AngleEdit = MillimetreBox(this, "AngleEdit", 20, 0, 60, " \u00b0");
  AngleEdit->setDecimals(1);
  AngleEdit->setSingleStep(1);
  RadiusEdit = MillimetreBox(this, "RadiusEdit", 0.3, 0.05, 3.0);
  TriggerKey = new QPushButton("Trigger key", this);
  TriggerKey->setObjectName("TriggerKey");
  TriggerKey->setToolTip("Hold to press the gauge's key; release it after the scan.");
  TriggerKey->setMinimumHeight(40);
  Plugged = new QCheckBox("Camera plugged in", this);
  Plugged->setObjectName("Plugged");
  Plugged->setChecked(true);

  auto* form = new QFormLayout(this);
  form->addRow("Sample", ShapeCombo);
  form->addRow("Depth", DepthEdit);
  form->addRow("Width", WidthEdit);
  form->addRow("Flank angle", AngleEdit);
  form->addRow("Bottom radius", RadiusEdit);
  form->addRow(Plugged);
  form->addRow(TriggerKey);

  ShapeCombo->setCurrentIndex(kTrapezoid);
  connect(ShapeCombo, &QComboBox::currentIndexChanged, this, [this] {
    ShapeChanged();
    ApplySample();
  });
  for (QDoubleSpinBox* box : {DepthEdit, WidthEdit, AngleEdit, RadiusEdit}) {
    connect(box, &QDoubleSpinBox::valueChanged, this, &SimulatedGaugePanel::ApplySample);
  }
  connect(TriggerKey, &QPushButton::pressed, this, [this] { gauge_.PressKey(true); });
  connect(TriggerKey, &QPushButton::released, this, [this] { gauge_.PressKey(false); });
  connect(Plugged, &QCheckBox::toggled, this, [this](bool on) {
    if (on) {
      gauge_.PlugIn();
    } else {
      gauge_.Unplug();
    }
  });
  ShapeChanged();
  ApplySample();
}

void SimulatedGaugePanel::ShapeChanged() {
  const int item = ShapeCombo->currentIndex();
  const bool channel = item != kFlatReference;
  DepthEdit->setEnabled(channel);
  WidthEdit->setEnabled(channel);
  AngleEdit->setEnabled(item == kTrapezoid);
  RadiusEdit->setEnabled(item == kRound);
}

SimulatedSample SimulatedGaugePanel::Sample() const {
  SimulatedSample s;
  switch (ShapeCombo->currentIndex()) {
    case kFlat:
      s.shape = synth::ChannelShape::Flat;
      break;
    case kV:
      s.shape = synth::ChannelShape::V;
      break;
    case kRound:
      s.shape = synth::ChannelShape::Round;
      break;
    case kFlatReference:
      return FlatReferenceSample();
    default:
      s.shape = synth::ChannelShape::Trapezoid;
      break;
  }
  s.depthMm = DepthEdit->value();
  s.widthMm = WidthEdit->value();
  s.flankAngle = AngleEdit->value();
  s.bottomRadiusMm = RadiusEdit->value();
  return s;
}

void SimulatedGaugePanel::ApplySample() { gauge_.SetSample(UnderGauge(truth_, Sample())); }
