#include "calibration/calibration_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPdfView>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "calibration/station_controls.h"
#include "calibration/tolerance_shape.h"
#include "imaging/scan_sequence.h"
#include "station/station_setup.h"
#include "ui/app_context.h"
#include "ui/picture_box.h"
#include "ui/user_dialogs.h"

namespace {

QString Native(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

TCalibFrm::TCalibFrm(AppContext& context, TFrmPreview* camera, std::function<int()> brand, QWidget* parent)
    : QDialog(parent), context_(context), camera_(camera), brand_(std::move(brand)) {
  setObjectName("CalibFrm");
  setWindowTitle("Calibrate");
  setFixedSize(1184, 742);
  panel_ = std::make_unique<WindowStationPanel>(context_, this, camera_, kToCalibration,
                                                [this](const std::string& pdf) { ShowReport(pdf); });
  station_ = std::make_unique<CalibrationStation>(context_.state, context_.pictures, *panel_, context_.HomeDir,
                                                  context_.cf_inifile);

  CalibratePages = new QTabWidget(this);
  CalibratePages->setObjectName("CalibratePages");
  CalibratePages->addTab(BuildCalibratePage(), "Calibrate");
  CalibratePages->addTab(BuildLinearityPage(), "Verify");
  CalibratePages->addTab(BuildReportPage(), "Report");

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(BuildLeftColumn(), 0, Qt::AlignTop);
  layout->addWidget(CalibratePages, 1);
  ShowControls();
}

TCalibFrm::~TCalibFrm() = default;

QWidget* TCalibFrm::BuildLeftColumn() {
  auto* column = new QWidget(this);
  CALImg = new PictureBox(640, 512, column);
  CALImg->setObjectName("CALImg");

  auto* camera = new QGroupBox("Camera", column);
  camera->setObjectName("CameraGrp");
  ShutterCombo = new QComboBox(camera);
  ShutterCombo->setObjectName("ShutterCombo");
  for (const char* text : kShutterTexts) ShutterCombo->addItem(text);
  GainEdit = new QSpinBox(camera);
  GainEdit->setObjectName("GainEdit");
  GainEdit->setRange(0, 200);
  auto* gainHint = new QLabel("40<G<200", camera);
  Mirror = new QCheckBox("Mirror", camera);
  Mirror->setObjectName("Mirror");
  Flip = new QCheckBox("Flip", camera);
  Flip->setObjectName("Flip");
  Refreshbtn = Button("Refreshbtn", "Refresh", camera);
  Maxbtn = Button("Maxbtn", "Max", camera);
  Refreshbtn->setMinimumHeight(40);
  Maxbtn->setMinimumHeight(40);

  auto* grid = new QGridLayout(camera);
  grid->addWidget(new QLabel("Shutter", camera), 0, 0);
  grid->addWidget(ShutterCombo, 0, 1);
  grid->addWidget(new QLabel("Gain", camera), 1, 0);
  grid->addWidget(GainEdit, 1, 1);
  grid->addWidget(gainHint, 1, 2);
  grid->addWidget(Mirror, 0, 3);
  grid->addWidget(Flip, 1, 3);
  grid->addWidget(Refreshbtn, 0, 4, 2, 1);
  grid->addWidget(Maxbtn, 0, 5, 2, 1);
  grid->setColumnStretch(2, 1);

  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(CALImg);
  layout->addWidget(camera);
  layout->addStretch(1);

  connect(ShutterCombo, &QComboBox::currentIndexChanged, this, [this] { ShutterComboChange(); });
  connect(Mirror, &QCheckBox::toggled, this, [this] { ShutterComboChange(); });
  connect(Flip, &QCheckBox::toggled, this, [this] { ShutterComboChange(); });
  connect(GainEdit, &QSpinBox::valueChanged, this, [this] { GainEditChange(); });
  connect(Refreshbtn, &QPushButton::clicked, this, [this] { RefreshbtnClick(); });
  connect(Maxbtn, &QPushButton::clicked, this, [this] { MaxBtnClick(); });
  return column;
}

QWidget* TCalibFrm::BuildCalibratePage() {
  auto* page = new QWidget(this);
  page->setObjectName("Calibrate");

  auto* surface = new QGroupBox("Reference sample", page);
  TopRefLabel = ValueLabel("TopRefLabel", surface);
  BRRefLabel = ValueLabel("BRRefLabel", surface);
  HRefLabel = ValueLabel("HRefLabel", surface);
  HRefLabel->setText(QStringLiteral("\u00b1 1.5\u00b0"));
  SampleTop = ValueLabel("SampleTop", surface);
  BRLabel2 = ValueLabel("BRLabel2", surface);
  HorizLabel = ValueLabel("HorizLabel", surface);
  BRLabel = ValueLabel("BRLabel", surface);
  BRTolShape = new ToleranceShape(surface);
  BRTolShape->setObjectName("BRTolShape");
  BRImage = new PictureBox(160, 128, surface);
  BRImage->setObjectName("BRImage");
  auto* surfaceGrid = new QGridLayout(surface);
  surfaceGrid->addWidget(new QLabel("Reference", surface), 0, 1);
  surfaceGrid->addWidget(new QLabel("Found", surface), 0, 2);
  surfaceGrid->addWidget(new QLabel("Surface row", surface), 1, 0);
  surfaceGrid->addWidget(TopRefLabel, 1, 1);
  surfaceGrid->addWidget(SampleTop, 1, 2);
  surfaceGrid->addWidget(new QLabel("Brightness", surface), 2, 0);
  surfaceGrid->addWidget(BRRefLabel, 2, 1);
  surfaceGrid->addWidget(BRLabel2, 2, 2);
  surfaceGrid->addWidget(new QLabel("Orientation", surface), 3, 0);
  surfaceGrid->addWidget(HRefLabel, 3, 1);
  surfaceGrid->addWidget(HorizLabel, 3, 2);
  surfaceGrid->addWidget(new QLabel("Live brightness", surface), 4, 0);
  surfaceGrid->addWidget(BRLabel, 4, 2);
  surfaceGrid->addWidget(BRTolShape, 0, 3, 5, 1, Qt::AlignCenter);
  surfaceGrid->addWidget(BRImage, 0, 4, 5, 1);

  auto* channel = new QGroupBox("Calibration channel", page);
  CalHEdit = new QLineEdit(channel);
  CalHEdit->setObjectName("CalHEdit");
  CALWEdit = new QLineEdit(channel);
  CALWEdit->setObjectName("CALWEdit");
  BHeight = ValueLabel("BHeight", channel);
  BWidth = ValueLabel("BWidth", channel);
  PPIRes = ValueLabel("PPIRes", channel);
  ZFactorRes = ValueLabel("ZFactorRes", channel);
  CountHLabel = new QLabel(channel);
  CountHLabel->setObjectName("CountHLabel");
  DimShape = new ToleranceShape(channel);
  DimShape->setObjectName("DimShape");
  BeadImage = new PictureBox(160, 80, channel);
  BeadImage->setObjectName("BeadImage");
  auto* channelGrid = new QGridLayout(channel);
  channelGrid->addWidget(new QLabel("Reference", channel), 0, 1);
  channelGrid->addWidget(new QLabel("Measured", channel), 0, 2);
  channelGrid->addWidget(new QLabel("Depth [mm]", channel), 1, 0);
  channelGrid->addWidget(CalHEdit, 1, 1);
  channelGrid->addWidget(BHeight, 1, 2);
  channelGrid->addWidget(new QLabel("Width [mm]", channel), 2, 0);
  channelGrid->addWidget(CALWEdit, 2, 1);
  channelGrid->addWidget(BWidth, 2, 2);
  channelGrid->addWidget(new QLabel("Pixel per inch", channel), 3, 0);
  channelGrid->addWidget(PPIRes, 3, 2);
  channelGrid->addWidget(new QLabel("Z factor", channel), 4, 0);
  channelGrid->addWidget(ZFactorRes, 4, 2);
  channelGrid->addWidget(new QLabel("Captures", channel), 5, 0);
  channelGrid->addWidget(CountHLabel, 5, 1, 1, 2);
  channelGrid->addWidget(DimShape, 0, 3, 6, 1, Qt::AlignCenter);
  channelGrid->addWidget(BeadImage, 0, 4, 6, 1, Qt::AlignVCenter);

  auto* gauge = new QGroupBox("Gauge", page);
  SNEdit = new QLineEdit(gauge);
  SNEdit->setObjectName("SNEdit");
  NextSNbtn = Button("NextSNbtn", "+", gauge);
  NextSNbtn->setFixedWidth(32);
  BrandGrp = new QGroupBox("BRAND", gauge);
  BrandGrp->setObjectName("BrandGrp");
  brandButtons = new QButtonGroup(BrandGrp);
  auto* brandGrid = new QGridLayout(BrandGrp);
  for (int i = 0; i < static_cast<int>(kBrandTexts.size()); ++i) {
    auto* item = new QRadioButton(kBrandTexts[i], BrandGrp);
    brandButtons->addButton(item, i);
    brandGrid->addWidget(item, i / 2, i % 2);
  }
  auto* gaugeGrid = new QGridLayout(gauge);
  gaugeGrid->addWidget(new QLabel("Serial number", gauge), 0, 0);
  gaugeGrid->addWidget(SNEdit, 0, 1);
  gaugeGrid->addWidget(NextSNbtn, 0, 2);
  gaugeGrid->addWidget(BrandGrp, 0, 3, 2, 1);
  gaugeGrid->setColumnStretch(3, 1);

  LoadIniBtn = Button("LoadIniBtn", "Load.INI", page);
  Savebtn = Button("Savebtn", "Save", page);
  CreatePDFbtn = Button("CreatePDFbtn", "Create PDF", page);
  CreatePDFbtn->setDefault(true);
  Deletebtn = Button("Deletebtn", "Delete", page);
  Newbtn = Button("Newbtn", "New", page);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {LoadIniBtn, Savebtn, CreatePDFbtn, Deletebtn, Newbtn}) {
    b->setMinimumHeight(36);
    buttons->addWidget(b);
  }

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(surface);
  layout->addWidget(channel);
  layout->addWidget(gauge);
  layout->addStretch(1);
  layout->addLayout(buttons);

  connect(NextSNbtn, &QPushButton::clicked, this, [this] { NextSNbtnClick(); });
  connect(LoadIniBtn, &QPushButton::clicked, this, [this] { LoadIniBtnClick(); });
  connect(Savebtn, &QPushButton::clicked, this, [this] { SavebtnClick(); });
  connect(CreatePDFbtn, &QPushButton::clicked, this, [this] { CreatePDFbtnClick(); });
  connect(Deletebtn, &QPushButton::clicked, this, [this] { DeletebtnClick(); });
  connect(Newbtn, &QPushButton::clicked, this, [this] { NewbtnClick(); });
  return page;
}

QWidget* TCalibFrm::BuildReportPage() {
  auto* page = new QWidget(this);
  page->setObjectName("Report");
  report_ = new QPdfDocument(this);
  ReportWebBrowser = new QPdfView(page);
  ReportWebBrowser->setObjectName("ReportWebBrowser");
  ReportWebBrowser->setDocument(report_);
  ReportWebBrowser->setPageMode(QPdfView::PageMode::MultiPage);
  ReportWebBrowser->setZoomMode(QPdfView::ZoomMode::FitToWidth);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(ReportWebBrowser);
  return page;
}

void TCalibFrm::ShowModal() {
  FormActivate();
  context_.dialogs->ExecModal(this);
}

void TCalibFrm::FormActivate() {
  station_->SetFileInUse(context_.cf_inifile);
  station_->controls.SNEdit = context_.state.SNEditText;
  station_->InitCalRef(brand_ ? brand_() : 2);
  ShowControls();
  CalibratePages->setCurrentIndex(0);
}

CalibratePage TCalibFrm::Page() const {
  switch (CalibratePages->currentIndex()) {
    case 0:
      return CalibratePage::Calibrate;
    case 1:
      return CalibratePage::Verify;
    default:
      return CalibratePage::Report;
  }
}

void TCalibFrm::ShowLiveFrame(const Bitmap& picture, const std::string& brightness) {
  CALImg->SetPicture(picture);
  station_->controls.BRLabel = brightness;
  BRLabel->setText(QString::fromStdString(brightness));
}

void TCalibFrm::Capture(const Bitmap& rBild) {
  CALImg->SetPicture(rBild);
  const CalibratePage page = Page();
  Act([&] { station_->Capture(rBild, page); });
}

void TCalibFrm::Act(const std::function<void()>& action) {
  ReadControls();
  action();
  context_.state.SNEditText = station_->controls.SNEdit;
  ShowControls();
}

void TCalibFrm::ReadControls() {
  CalibrationControls& c = station_->controls;
  c.SNEdit = SNEdit->text().toStdString();
  c.CalHEdit = CalHEdit->text().toStdString();
  c.CALWEdit = CALWEdit->text().toStdString();
  c.ShutterCombo = ShutterCombo->currentIndex();
  c.GainEdit = GainEdit->value();
  c.Mirror = Mirror->isChecked();
  c.Flip = Flip->isChecked();
  c.BrandGrp = brandButtons->checkedId();
  for (int column = 0; column < 2; ++column) {
    for (int row = 0; row < 6; ++row) {
      const QTableWidgetItem* item = VeryGrid->item(row, column);
      c.VeryGrid[column][row] = item ? item->text().toStdString() : std::string();
    }
  }
}

void TCalibFrm::ShowControls() {
  const CalibrationControls& c = station_->controls;
  auto text = [](QLabel* label, const std::string& s) { label->setText(QString::fromStdString(s)); };
  const QSignalBlocker blockShutter(ShutterCombo);
  const QSignalBlocker blockGain(GainEdit);
  const QSignalBlocker blockMirror(Mirror);
  const QSignalBlocker blockFlip(Flip);
  SNEdit->setText(QString::fromStdString(c.SNEdit));
  CalHEdit->setText(QString::fromStdString(c.CalHEdit));
  CALWEdit->setText(QString::fromStdString(c.CALWEdit));
  ShutterCombo->setCurrentIndex(c.ShutterCombo);
  GainEdit->setValue(c.GainEdit);
  Mirror->setChecked(c.Mirror);
  Flip->setChecked(c.Flip);
  if (QAbstractButton* brand = brandButtons->button(c.BrandGrp)) brand->setChecked(true);
  text(TopRefLabel, c.TopRefLabel);
  text(BRRefLabel, c.BRRefLabel);
  text(SampleTop, c.SampleTop);
  text(BRLabel, c.BRLabel);
  text(BRLabel2, c.BRLabel2);
  text(HorizLabel, c.HorizLabel);
  text(BHeight, c.BHeight);
  text(BWidth, c.BWidth);
  text(PPIRes, c.PPIRes);
  text(ZFactorRes, c.ZFactorRes);
  text(CountHLabel, c.CountHLabel);
  BRTolShape->SetState(c.BRTolShape);
  DimShape->SetState(c.DimShape);
  BRImage->SetPicture(context_.pictures.ImgBrightness);
  BeadImage->SetPicture(context_.pictures.ImgChannel);
  for (int column = 0; column < 2; ++column) {
    for (int row = 0; row < 6; ++row) {
      VeryGrid->setItem(row, column, new QTableWidgetItem(QString::fromStdString(c.VeryGrid[column][row])));
    }
  }
  ShowChart();
}

CertificateTexts TCalibFrm::ReportTexts() const {
  auto text = [](const QWidget* control) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text().toStdString();
    return static_cast<const QLabel*>(control)->text().toStdString();
  };
  return {text(TopRefLabel), text(BRRefLabel), text(HRefLabel), text(CalHEdit),   text(CALWEdit),  text(SampleTop),
          text(BRLabel2),    text(HorizLabel), text(BHeight),   text(BWidth),     text(PPIRes),    text(ZFactorRes)};
}

void TCalibFrm::ShowReport(const std::string& pdfPath) {
  report_->load(QString::fromStdString(pdfPath));
  CalibratePages->setCurrentIndex(2);
}

void TCalibFrm::keyPressEvent(QKeyEvent* event) {
  // Escape is the window's cancel button, Delete.
  if (event->key() == Qt::Key_Escape) {
    Deletebtn->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TCalibFrm::ShutterComboChange() {
  Act([this] { station_->ShutterComboChange(); });
}

void TCalibFrm::GainEditChange() {
  Act([this] { station_->GainEditChange(); });
}

void TCalibFrm::RefreshbtnClick() {
  Act([this] { station_->RefreshbtnClick(); });
}

void TCalibFrm::MaxBtnClick() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // The camera window's last frame; a black frame when there was none.
  const Bitmap frame = camera_ && camera_->CurrentFrame().Width() > 0 ? camera_->CurrentFrame() : [] {
    Bitmap black(1280, 1024);
    black.Fill(0, 0, 0);
    return black;
  }();
  Act([&] { station_->MaxBtnClick(frame); });
  QApplication::restoreOverrideCursor();
}

void TCalibFrm::NextSNbtnClick() {
  Act([this] { station_->NextSNbtnClick(); });
}

void TCalibFrm::SavebtnClick() {
  Act([this] { station_->SavebtnClick(); });
}

void TCalibFrm::LoadIniBtnClick() {
  const QString file = context_.dialogs->OpenFileName(this, "Load.INI", Native(DeviceFolder(context_.HomeDir)),
                                                      "INI Files (*_VELDRAQX.INI *.INI)");
  if (!file.isEmpty()) Act([&] { station_->LoadIni(file.toStdString()); });
  context_.CALAktive = kToCalibration;
}

void TCalibFrm::NewbtnClick() {
  Act([this] { station_->NewbtnClick(brand_ ? brand_() : 2); });
}

void TCalibFrm::DeletebtnClick() {
  Act([this] { station_->DeletebtnClick(); });
  reject();
}

void TCalibFrm::CreatePDFbtnClick() {
  report_->close();
  Act([this] { station_->CreatePDFbtnClick(); });
}
