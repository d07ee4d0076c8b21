// The main window's commands: images, snapshots, report, settings, the
// calibration and verification windows, help, and the service panel.

#include <QAction>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QGroupBox>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QScrollArea>
#include <QToolButton>

#include "app/about_dialog.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "imaging/display_preparation.h"
#include "imaging/jpeg_export.h"
#include "imaging/result_overlay.h"
#include "imaging/tool_image.h"
#include "measure/units.h"
#include "platform/file_names.h"
#include "shell/series_record.h"
#include "shell/settings_logic.h"
#include "shell/startup.h"
#include "shell/view_zoom.h"
#include "ui/app_context.h"
#include "ui/bitmap_image.h"
#include "ui/image_view.h"
#include "ui/user_dialogs.h"

namespace {

QString Native(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

void TFrmMain::LoadbtnClick() {
  ClearResults();
  if (camera_) camera_->VideoStatus = 0;
  const QString file = context_.dialogs->OpenFileName(this, Loadbtn->toolTip(), Native(context_.HomeDir / "Images"),
                                                      "Riffmeter Image File (*.CRY *.cry)");
  if (file.isEmpty()) return;
  LoadImageFile(file);
}

void TFrmMain::LoadImageFile(const QString& file) {
  if (QFileInfo(file).suffix().toUpper() != "CRY") return;
  Bitmap loaded;
  const FileStatus status = LoadBmpAsPng(loaded, file.toStdString());
  if (!status.ok) {
    context_.dialogs->Message(this, QString::fromStdString(status.message));
    return;
  }
  images_.iBild = std::move(loaded);
  images_.rBild = images_.iBild;
  switch (CurrentMaterial()) {
    case Material::Steel:
      PrepareForDrawing(images_.iBild, images_.rBild, images_.dBild, 0.8);
      break;
    case Material::SteelBevel:
      PrepareForDrawing(images_.iBild, images_.rBild, images_.dBild, 0.5);
      break;
    case Material::Pertinax:
      PrepareForDrawingPertinax(images_.iBild, images_.rBild, images_.dBild);
      break;
  }
  ShowPicture(images_.rBild, Zoom());
  SetStatus(5, file);
}

void TFrmMain::SavebtnClick() {
  const std::filesystem::path images = context_.HomeDir / "Images";
  std::error_code error;
  std::filesystem::create_directory(images, error);
  const QString file =
      context_.dialogs->SaveFileName(this, Savebtn->toolTip(), Native(images),
                                     "Riffmeter Image File (*.CRY);;JPEG Image File (*.jpg)", "CRY");
  if (file.isEmpty()) return;
  SaveImageFile(file);
}

void TFrmMain::SaveImageFile(const QString& file) {
  const QString ext = QFileInfo(file).suffix().toUpper();
  FileStatus status;
  if (ext == "JPG") {
    status = SaveBmpAsJpeg(images_.rBild, file.toStdString());
  } else if (ext == "CRY") {
    status = SaveBmpAsPNG(images_.iBild, file.toStdString());
  }
  if (!status.ok) context_.dialogs->Message(this, QString::fromStdString(status.message));
  SetStatus(5, file);
}

ReportInputs TFrmMain::ReportRecord() {
  ReportInputs in;
  in.homeDir = context_.HomeDir;
  in.programDir = context_.programFolder;
  in.language = context_.Sprache;
  in.pdfCompression = LoadSettings(context_.cf_inifile).PdfCompression;
  if (settings_) {
    in.logoBmp = settings_->LogoBmp;
    const QStringList lines = settings_->Memo1->toPlainText().split('\n');
    for (const QString& line : lines) in.memoLines.push_back(line.toStdString());
    if (!in.memoLines.empty() && in.memoLines.back().empty()) in.memoLines.pop_back();
    in.invImage = settings_->InvImage->isChecked();
    in.showOpen = settings_->ShowOpenbx->isChecked();
    in.showRadius = settings_->ShowRadiusBx->isChecked();
    in.showAlpha = settings_->ShowAlphabx->isChecked();
    in.showLevel = settings_->ShowLevelInReport->isChecked();
  }
  in.serial = GetSerial(context_.state);
  in.ImgBrightness = context_.pictures.ImgBrightness;
  in.ImgChannel = context_.pictures.ImgChannel;
  ApplyLanguageTexts(context_.language, in);
  in.jobIdLabel = JobIDLabel->text().toStdString();
  in.jobId = JobIDEdit->text().toStdString();
  in.materialIndex = MaterialItem();
  for (int i = 0; i < 3; ++i) in.materialItems[i] = matButtons->button(i)->text().toStdString();
  in.fiberText = StrUnits(context_.state, context_.state.Fiber);
  in.DepthResult = DepthResult->text().toStdString();
  in.WidthResult = WidthResult->text().toStdString();
  in.OpenResult = OpenResult->text().toStdString();
  in.RadiusResult = RadiusResult->text().toStdString();
  in.AlphaV = AlphaV->text().toStdString();
  in.mmLabel1 = mmLabel1->text().toStdString();
  in.mmLabel2 = mmLabel2->text().toStdString();
  in.RadiusLabel = RadiusLabel->text().toStdString();
  in.openGroupVisible = OpenGroup->isVisibleTo(this);
  in.radiusGroupVisible = RadiusGrp->isVisibleTo(this);
  in.vGroupVisible = VGrp->isVisibleTo(this);
  QToolButton* buttons[] = {VBtn, Hbtn, dbtn};
  for (int i = 0; i < 3; ++i) {
    in.snapshots[i].down = buttons[i]->isChecked();
    in.snapshots[i].Img = snapshotImages_[i];
    in.snapshots[i].texts = snapshots_[i];
    in.snapshots[i].texts.Img = nullptr;
  }
  in.rBild = images_.rBild;
  return in;
}

void TFrmMain::SnapshotClick(int kind) {
  QToolButton* buttons[] = {VBtn, Hbtn, dbtn};
  if (!buttons[kind]->isChecked()) return;
  snapshotImages_[kind] = images_.rBild;
  TResult& r = snapshots_[kind];
  r.Img = &snapshotImages_[kind];
  r.Depth = DepthResult->text().toStdString();
  r.Width = WidthResult->text().toStdString();
  r.AngleO = OpenResult->text().toStdString();
  r.Angle = AlphaV->text().toStdString();
  r.Radius = RadiusResult->text().toStdString();
  r.Level = settings_ ? settings_->LevelEdit->text().toStdString() : "0.00";
  r.Fiber = settings_ ? settings_->FiberEdit->text().toStdString() : "0.00";
}

void TFrmMain::CreateReportbtnClick() {
  const int index = VBtn->isChecked() || Hbtn->isChecked() || dbtn->isChecked() ? 2 : 1;
  if (createPdf_) createPdf_(index);
  for (QToolButton* b : {VBtn, Hbtn, dbtn}) b->setChecked(false);
}

void TFrmMain::Settings1Click() {
  if (!settings_) return;
  const ProgramSettings fromFile = LoadSettings(context_.cf_inifile);
  settings_->PrepareForCommand(fromFile);
  context_.dialogs->ExecModal(settings_);
  // However the dialog was closed, its state is applied and written.
  ProgramSettings written = ApplySettingsChoice(settings_->Choice(), context_.state);
  if (!SaveSettings(written, context_.cf_inifile)) {
    context_.dialogs->Message(
        this, QStringLiteral("The settings cannot be written to \"%1\".").arg(Native(context_.cf_inifile)));
  }
  const FileStatus copied = CopyOverSettingsFile(context_.cf_inifile, context_.main_inifile);
  if (!copied.ok) context_.dialogs->Message(this, QString::fromStdString(copied.message));
  ApplyUnitLabels();
  SetLanguage();
  ShowResults();
}

void TFrmMain::Calibrate1Click() {
  if (!showCalibration_) return;
  const double units = context_.state.Units;
  context_.state.Units = 25.4;
  context_.CALAktive = kToCalibration;
  showCalibration_();
  context_.CALAktive = kToResults;
  context_.state.Units = units;
}

void TFrmMain::Verify1Click() {
  if (!showVerification_) return;
  const bool slopePanel = LoadSettings(context_.cf_inifile).ShowMoreInfo == kShowMoreInfoCode;
  const int digits = context_.state.Digits;
  const double units = context_.state.Units;
  context_.state.Digits = 3;
  context_.state.Units = 25.4;
  context_.CALAktive = kToVerification;
  showVerification_(slopePanel);
  context_.CALAktive = kToResults;
  context_.state.Units = units;
  context_.state.Digits = digits;
}

void TFrmMain::Connect1Click() { SelectDevice(); }

void TFrmMain::Info1Click() {
  if (about_) context_.dialogs->ExecModal(about_);
}

void TFrmMain::Manual1Click() {
  if (!help_) return;
  std::filesystem::path manual = FindPathIgnoringCase(context_.HomeDir, "VQX Manual " + context_.Sprache + ".PDF");
  std::error_code error;
  if (!std::filesystem::is_regular_file(manual, error)) {
    manual = FindPathIgnoringCase(context_.HomeDir, "VQX Manual English.PDF");
  }
  help_->Navigate(manual);
  help_->show();
  help_->raise();
}

void TFrmMain::StartbtnClick() {
  Timer1->stop();
  T1Semaphore = true;
  CECounter = 0;
  CE_CounterLabel->setText("0");
  context_.CALAktive = kToResults;
  const QString file = context_.dialogs->SaveFileName(this, "START", Native(context_.HomeDir), "Textfile (*.txt)", "txt");
  if (file.isEmpty()) return;
  if (!StartSeriesFile(file.toStdString()).ok) {
    context_.dialogs->Message(this, "Invalid File!", "File Access Problem!");
    return;
  }
  seriesFile = file.toStdString();
  context_.CALAktive = kToSeries;
  Timer1->start();
}

void TFrmMain::STOPbtnClick() {
  Timer1->stop();
  T1Semaphore = true;
}

void TFrmMain::Timer1Timer() {
  if (!T1Semaphore) return;
  T1Semaphore = false;
  RefreshbtnClick();
  const MaterialSettings& m = SettingsOf(CurrentMaterial());
  if (camera_) camera_->StartCapture(m.scanStart, TFrmPreview::kScanFrames, m.threshold);
}

void TFrmMain::SaveDataToFile() {
  const std::string line = SeriesRecordLine(CECounter + 1, DepthResult->text().toStdString(),
                                            WidthResult->text().toStdString(), std::chrono::system_clock::now());
  if (AppendSeriesRecord(seriesFile, line).ok) {
    ++CECounter;
    CE_CounterLabel->setText(QString::number(CECounter));
  }
  T1Semaphore = true;
}

void TFrmMain::BRTrackbarChange() {
  Bitmap view = BrightnessView(brBild, BRTrackbar->value());
  DrawResult(context_.state, view);
  const int z = Zoom();
  ShowPicture(view, z);
  DrawDebug(z);
  const ScrollTarget t = ChannelScroll(context_.state.MyChannel, z, ScrollBox1->width());
  ScrollTo(t.horizontal, t.vertical);
  DrawDebug(1);
}
