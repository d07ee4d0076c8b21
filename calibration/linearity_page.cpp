// The page "Verify" of the calibration window: the linearity grid and chart
// and the buttons of the linearisation table.

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

#include "calibration/calibration_window.h"
#include "ui/app_context.h"
#include "ui/user_dialogs.h"

namespace {

// An axis with a fixed range and a grid line every `step`; labels stand at
// every `labelEvery`-th grid line so they stay readable.
QValueAxis* FixedAxis(double from, double to, double step, int labelEvery, const char* format) {
  auto* axis = new QValueAxis;
  axis->setRange(from, to);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(from);
  axis->setTickInterval(step * labelEvery);
  axis->setMinorTickCount(labelEvery - 1);
  axis->setLabelFormat(format);
  QFont font = axis->labelsFont();
  font.setPointSize(8);
  axis->setLabelsFont(font);
  return axis;
}

QPushButton* PageButton(const char* name, const QString& caption, const QString& hint, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setAutoDefault(false);
  button->setMinimumHeight(32);
  return button;
}

}  // namespace

QWidget* TCalibFrm::BuildLinearityPage() {
  auto* page = new QWidget(this);
  page->setObjectName("Verify");

  VeryGrid = new QTableWidget(6, 2, page);
  VeryGrid->setObjectName("VeryGrid");
  VeryGrid->horizontalHeader()->hide();
  VeryGrid->verticalHeader()->hide();
  VeryGrid->setColumnWidth(0, 80);
  VeryGrid->setColumnWidth(1, 80);
  VeryGrid->setFixedSize(164, 6 * VeryGrid->rowHeight(0) + 4);
  VeryGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  VeryGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  ClearGraphbtn = PageButton("ClearGraphbtn", "Clear", "Empty the chart and the grid", page);
  SaveVerybtn = PageButton("SaveVerybtn", "Save", "Write the measured depths into the linearity file", page);
  VRefreshbtn = PageButton("VRefreshbtn", "Refresh", "Restart the live picture", page);
  auto* table = new QGroupBox("Linearisation table", page);
  ClearLUTBtn = PageButton("ClearLUTBtn", "LUT", "Delete the table from the calibration files", table);
  ClearLUTBtn->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  SaveLUTbtn = PageButton("SaveLUTbtn", "LUT", "Build the table from the grid and save it", table);
  SaveLUTbtn->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  LoadLUTbtn = PageButton("LoadLUTbtn", "LUT", "Load the table from the calibration file in use", table);
  LoadLUTbtn->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  auto* tableButtons = new QHBoxLayout(table);
  tableButtons->addWidget(ClearLUTBtn);
  tableButtons->addWidget(SaveLUTbtn);
  tableButtons->addWidget(LoadLUTbtn);

  auto* chart = new QChart;
  chart->setObjectName("Chart1");
  chart->legend()->setAlignment(Qt::AlignBottom);
  QValueAxis* bottom = FixedAxis(0, 0.8, 0.1, 1, "%.1f");
  QValueAxis* left = FixedAxis(-0.3, 0.8, 0.05, 2, "%.2f");
  QValueAxis* top = FixedAxis(0, 4, 1, 1, "%d");
  top->setVisible(false);
  chart->addAxis(bottom, Qt::AlignBottom);
  chart->addAxis(left, Qt::AlignLeft);
  chart->addAxis(top, Qt::AlignTop);

  Series2 = new QLineSeries;
  Series2->setName("CHANNEL");
  Series2->setColor(Qt::red);
  Series2->setPointsVisible(true);
  chart->addSeries(Series2);
  Series2->attachAxis(bottom);
  Series2->attachAxis(left);

  // Bars stand at their index on the top axis: index 0 stays empty, so the
  // bar of capture n stands at n.
  auto* series4 = new QBarSeries;
  series4->setName("CHANNEL DIFF");
  series4->setBarWidth(0.5);
  Series4Bars = new QBarSet("CHANNEL DIFF");
  Series4Bars->setColor(Qt::red);
  series4->append(Series4Bars);
  chart->addSeries(series4);
  series4->attachAxis(top);
  series4->attachAxis(left);

  Chart1 = new QChartView(chart, page);
  Chart1->setObjectName("Chart1");
  Chart1->setRenderHint(QPainter::Antialiasing);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ClearGraphbtn);
  buttons->addWidget(SaveVerybtn);
  buttons->addWidget(VRefreshbtn);
  buttons->addStretch(1);
  auto* topRow = new QHBoxLayout;
  topRow->addWidget(VeryGrid, 0, Qt::AlignTop);
  topRow->addLayout(buttons);
  topRow->addWidget(table, 1, Qt::AlignTop);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(topRow);
  layout->addWidget(Chart1, 1);

  connect(ClearGraphbtn, &QPushButton::clicked, this, [this] { ClearGraphbtnClick(); });
  connect(SaveVerybtn, &QPushButton::clicked, this, [this] { SaveVerybtnClick(); });
  connect(VRefreshbtn, &QPushButton::clicked, this, [this] { VRefreshbtnClick(); });
  connect(ClearLUTBtn, &QPushButton::clicked, this, [this] { ClearLUTBtnClick(); });
  connect(SaveLUTbtn, &QPushButton::clicked, this, [this] { SaveLUTbtnClick(); });
  connect(LoadLUTbtn, &QPushButton::clicked, this, [this] { LoadLUTbtnClick(); });
  return page;
}

void TCalibFrm::ShowChart() {
  const LinearityChart& chart = station_->Chart();
  QList<QPointF> points;
  for (const TRealPoint& p : chart.channel) points.append(QPointF(p.x, p.y));
  Series2->replace(points);
  Series4Bars->remove(0, Series4Bars->count());
  if (chart.channelDiff.empty()) return;
  Series4Bars->append(0);
  for (const TRealPoint& p : chart.channelDiff) Series4Bars->append(p.y);
}

void TCalibFrm::ClearGraphbtnClick() {
  Act([this] { station_->ClearGraphbtnClick(); });
}

void TCalibFrm::VRefreshbtnClick() {
  Act([this] { station_->VRefreshbtnClick(); });
}

void TCalibFrm::SaveVerybtnClick() {
  FileStatus status;
  Act([&] { status = station_->SaveVerybtnClick(); });
  // An operator must know when the linearity file was not written.
  if (!status.ok) context_.dialogs->Message(this, QString::fromStdString(status.message));
}

void TCalibFrm::ClearLUTBtnClick() {
  Act([this] { station_->ClearLUTBtnClick(); });
}

void TCalibFrm::SaveLUTbtnClick() {
  Act([this] { station_->SaveLUTbtnClick(); });
}

void TCalibFrm::LoadLUTbtnClick() {
  Act([this] { station_->LoadLUTbtnClick(); });
}
