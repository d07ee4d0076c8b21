#include "calibration/verification_window.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPdfDocument>
#include <QPdfView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "calibration/station_controls.h"
#include "calibration/tolerance_shape.h"
#include "ui/app_context.h"
#include "ui/picture_box.h"
#include "ui/user_dialogs.h"

namespace {

void SetLines(QListWidget* list, const std::vector<std::string>& lines) {
  list->clear();
  for (const std::string& line : lines) list->addItem(QString::fromStdString(line));
  list->scrollToBottom();
}

}  // namespace

TFrmVerify::TFrmVerify(AppContext& context, TFrmPreview* camera, std::function<const Bitmap&()> resultPicture,
                       std::function<void()> startCapture, QWidget* parent)
    : QDialog(parent),
      context_(context),
      resultPicture_(std::move(resultPicture)),
      startCapture_(std::move(startCapture)) {
  setObjectName("FrmVerify");
  setWindowTitle("Verify");
  setFixedSize(783, 563);
  panel_ = std::make_unique<WindowStationPanel>(context_, this, camera, kToVerification,
                                                [this](const std::string& pdf) { ShowReport(pdf); });
  station_ = std::make_unique<VerificationStation>(context_.state, context_.pictures, *panel_, context_.cf_inifile);

  auto* left = new QVBoxLayout;
  left->addWidget(BuildPictures(), 1);
  left->addWidget(BuildSlopePanel());
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addWidget(BuildTargets(), 1);
  ShowControls();
}

TFrmVerify::~TFrmVerify() = default;

QWidget* TFrmVerify::BuildPictures() {
  VerifyPages = new QTabWidget(this);
  VerifyPages->setObjectName("VerifyPages");
  PrevImg = new PictureBox(400, 320);
  PrevImg->setObjectName("PrevImg");
  auto* live = new QWidget;
  auto* liveLayout = new QVBoxLayout(live);
  liveLayout->addWidget(PrevImg, 0, Qt::AlignCenter);
  VerifyPages->addTab(live, "Picture");
  report_ = new QPdfDocument(this);
  ReportWebBrowser = new QPdfView;
  ReportWebBrowser->setObjectName("ReportWebBrowser");
  ReportWebBrowser->setDocument(report_);
  ReportWebBrowser->setPageMode(QPdfView::PageMode::MultiPage);
  ReportWebBrowser->setZoomMode(QPdfView::ZoomMode::FitToWidth);
  VerifyPages->addTab(ReportWebBrowser, "Report");
  return VerifyPages;
}

QWidget* TFrmVerify::BuildTargets() {
  auto* column = new QWidget(this);
  auto* target = new QGroupBox("Target", column);
  CALWEdit = new QLineEdit(target);
  CALWEdit->setObjectName("CALWEdit");
  CALDEdit = new QLineEdit(target);
  CALDEdit->setObjectName("CALDEdit");
  auto* targetGrid = new QGridLayout(target);
  targetGrid->addWidget(new QLabel("Width [mm]", target), 0, 0);
  targetGrid->addWidget(CALWEdit, 0, 1);
  targetGrid->addWidget(new QLabel(QStringLiteral("\u00b1 0.02 mm"), target), 0, 2);
  targetGrid->addWidget(new QLabel("Depth [mm]", target), 1, 0);
  targetGrid->addWidget(CALDEdit, 1, 1);
  targetGrid->addWidget(new QLabel(QStringLiteral("\u00b1 0.01 mm"), target), 1, 2);

  auto* result = new QGroupBox("Verified", column);
  WLabel = new QLabel("width:", result);
  WLabel->setObjectName("WLabel");
  DLabel = new QLabel("depth:", result);
  DLabel->setObjectName("DLabel");
  BWidth = ValueLabel("BWidth", result, 80);
  BDepth = ValueLabel("BDepth", result, 80);
  QFont big = BWidth->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  BWidth->setFont(big);
  BDepth->setFont(big);
  DepthShape = new ToleranceShape(result);
  DepthShape->setObjectName("DepthShape");
  auto* resultGrid = new QGridLayout(result);
  resultGrid->addWidget(WLabel, 0, 0);
  resultGrid->addWidget(BWidth, 0, 1);
  resultGrid->addWidget(DLabel, 1, 0);
  resultGrid->addWidget(BDepth, 1, 1);
  resultGrid->addWidget(DepthShape, 0, 2, 2, 1, Qt::AlignCenter);

  Refreshbtn = Button("Refreshbtn", "Refresh", column, 36);
  Capturebtn = Button("Capturebtn", "Capture", column, 36);
  VerifyPDF = Button("VerifyPDF", "Verification report", column, 36);

  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(target);
  layout->addWidget(result);
  layout->addWidget(Refreshbtn);
  layout->addWidget(Capturebtn);
  layout->addWidget(VerifyPDF);
  layout->addStretch(1);

  connect(Refreshbtn, &QPushButton::clicked, this, [this] { RefreshbtnClick(); });
  connect(Capturebtn, &QPushButton::clicked, this, [this] { CapturebtnClick(); });
  connect(VerifyPDF, &QPushButton::clicked, this, [this] { VerifyPDFClick(); });
  return column;
}

QWidget* TFrmVerify::BuildSlopePanel() {
  SlopePanel = new QGroupBox("Service", this);
  SlopePanel->setObjectName("SlopePanel");
  Levelgrp = new QGroupBox("Level", SlopePanel);
  Levelgrp->setObjectName("Levelgrp");
  levelButtons = new QButtonGroup(Levelgrp);
  auto* levelLayout = new QVBoxLayout(Levelgrp);
  levelLayout->setSpacing(0);
  for (int i = 0; i < static_cast<int>(kLevelItems.size()); ++i) {
    auto* item = new QRadioButton(kLevelItems[i], Levelgrp);
    levelButtons->addButton(item, i);
    levelLayout->addWidget(item);
  }
  levelButtons->button(0)->setChecked(true);
  CountLabel = new QLabel(SlopePanel);
  CountLabel->setObjectName("CountLabel");
  DListBx = new QListWidget(SlopePanel);
  DListBx->setObjectName("DListBx");
  WListBx = new QListWidget(SlopePanel);
  WListBx->setObjectName("WListBx");
  for (QListWidget* list : {DListBx, WListBx}) list->setFixedWidth(80);
  SLDepth = ValueLabel("SLDepth", SlopePanel, 80);
  SLWidth = ValueLabel("SLWidth", SlopePanel, 80);
  CalcSlppebtn = Button("CalcSlppebtn", "Slope", SlopePanel, 36);
  RESETSlope = Button("RESETSlope", "RESET", SlopePanel, 36);

  auto* grid = new QGridLayout(SlopePanel);
  grid->addWidget(Levelgrp, 0, 0, 4, 1);
  grid->addWidget(new QLabel("Depth", SlopePanel), 0, 1);
  grid->addWidget(new QLabel("Width", SlopePanel), 0, 2);
  grid->addWidget(DListBx, 1, 1, 3, 1);
  grid->addWidget(WListBx, 1, 2, 3, 1);
  grid->addWidget(new QLabel("Captures", SlopePanel), 0, 3);
  grid->addWidget(CountLabel, 0, 4);
  grid->addWidget(new QLabel("Depth", SlopePanel), 1, 3);
  grid->addWidget(SLDepth, 1, 4);
  grid->addWidget(new QLabel("Width", SlopePanel), 2, 3);
  grid->addWidget(SLWidth, 2, 4);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CalcSlppebtn);
  buttons->addWidget(RESETSlope);
  grid->addLayout(buttons, 3, 3, 1, 2);
  SlopePanel->setFixedHeight(170);

  connect(CalcSlppebtn, &QPushButton::clicked, this, [this] { CalcSlppebtnClick(); });
  connect(RESETSlope, &QPushButton::clicked, this, [this] { RESETSlopeClick(); });
  return SlopePanel;
}

void TFrmVerify::ShowModal(bool slopePanel) {
  SlopePanel->setVisible(slopePanel);
  FormActivate();
  context_.dialogs->ExecModal(this);
}

void TFrmVerify::FormActivate() {
  SetLanguage();
  station_->SetFileInUse(context_.cf_inifile);
  station_->FormActivate();
  ShowControls();
  VerifyPages->setCurrentIndex(0);
}

void TFrmVerify::SetLanguage() {
  const int i = context_.language.IndexOf("VERIFYFRM");
  if (i <= 0) return;
  WLabel->setText(QString::fromStdString(context_.language.GetLanguageString(i + 2)));
  DLabel->setText(QString::fromStdString(context_.language.GetLanguageString(i + 3)));
}

void TFrmVerify::ShowLiveFrame(const Bitmap& picture) { PrevImg->SetPicture(picture); }

void TFrmVerify::SetValues() {
  const Bitmap& rBild = resultPicture_();
  PrevImg->SetPicture(rBild);
  Act([&] { station_->SetValues(rBild); });
}

void TFrmVerify::Act(const std::function<void()>& action) {
  ReadControls();
  action();
  ShowControls();
}

void TFrmVerify::ReadControls() {
  VerificationControls& c = station_->controls;
  c.CALWEdit = CALWEdit->text().toStdString();
  c.CALDEdit = CALDEdit->text().toStdString();
  c.Levelgrp = levelButtons->checkedId();
}

void TFrmVerify::ShowControls() {
  const VerificationControls& c = station_->controls;
  auto text = [](QLabel* label, const std::string& s) { label->setText(QString::fromStdString(s)); };
  CALWEdit->setText(QString::fromStdString(c.CALWEdit));
  CALDEdit->setText(QString::fromStdString(c.CALDEdit));
  if (QAbstractButton* level = levelButtons->button(c.Levelgrp)) level->setChecked(true);
  text(BWidth, c.BWidth);
  text(BDepth, c.BDepth);
  DepthShape->SetState(c.DepthShape);
  VerifyPDF->setEnabled(c.VerifyPDF);
  text(CountLabel, c.CountLabel);
  SetLines(DListBx, c.DListBx);
  SetLines(WListBx, c.WListBx);
  text(SLDepth, c.SLDepth);
  text(SLWidth, c.SLWidth);
}

VerificationTexts TFrmVerify::ReportTexts() const {
  return {CALDEdit->text().toStdString(), CALWEdit->text().toStdString(), BDepth->text().toStdString(),
          BWidth->text().toStdString()};
}

void TFrmVerify::ShowReport(const std::string& pdfPath) {
  report_->load(QString::fromStdString(pdfPath));
  VerifyPages->setCurrentIndex(1);
}

void TFrmVerify::RefreshbtnClick() {
  VerifyPages->setCurrentIndex(0);
  Act([this] { station_->RefreshbtnClick(); });
}

void TFrmVerify::CapturebtnClick() {
  Act([this] { station_->CapturebtnClick(); });
  if (startCapture_) startCapture_();
}

void TFrmVerify::CalcSlppebtnClick() {
  Act([this] { station_->CalcSlppebtnClick(); });
}

void TFrmVerify::RESETSlopeClick() {
  Act([this] { station_->RESETSlopeClick(); });
}

void TFrmVerify::VerifyPDFClick() {
  Act([this] { station_->VerifyPDFClick(!SlopePanel->isHidden()); });
}
