// The main window's road of a measurement: start-up, live picture, scan,
// analysis and the result display.

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QAction>
#include <QFrame>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QStringListModel>

#include "app/about_dialog.h"
#include "app/artwork.h"
#include "app/connect_dialog.h"
#include "app/main_window.h"
#include "app/palette.h"
#include "app/settings_dialog.h"
#include "imaging/pixel_ops.h"
#include "imaging/result_overlay.h"
#include "imaging/tool_image.h"
#include "imaging/trapez.h"
#include "history/measurement_record.h"
#include "measure/calibration_file.h"
#include "measure/job_judgement.h"
#include "measure/numbers.h"
#include "measure/result_numbers.h"
#include "measure/units.h"
#include "platform/version_info.h"
#include "shell/live_guide.h"
#include "shell/settings_logic.h"
#include "shell/startup.h"
#include "shell/view_zoom.h"
#include "ui/app_context.h"
#include "ui/bitmap_image.h"
#include "ui/image_view.h"
#include "ui/sound.h"
#include "ui/user_dialogs.h"

namespace {

constexpr const char* kProductdesc = "VELDRA QuadraGauge";

QPoint Zoomed(const TRealPoint& p, int zoom) { return QPoint(Round(p.x * zoom), Round(p.y * zoom)); }

// The frame with the calibration and verification windows' red guide.
Bitmap WithStationGuide(const Bitmap& frame, int top, int penWidth) {
  Bitmap picture = frame;
  BitmapCanvas canvas(picture);
  const LiveGuide g = StationGuide(top);
  for (std::size_t i = 1; i < g.polyline.size(); ++i) {
    DrawPenLine(canvas, g.polyline[i - 1].x, g.polyline[i - 1].y, g.polyline[i].x, g.polyline[i].y,
                overlay_colors::kRed, penWidth);
  }
  return picture;
}

}  // namespace

void TFrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (FirstActivate) QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TFrmMain::FormActivate() {
  if (!FirstActivate) return;
  if (!context_.LoadLanguage("English")) return;
  SetLanguage();
  SelectDevice();
  StartupSequence();
}

void TFrmMain::StartupSequence() {
  if (!FirstActivate) return;
  const ProgramSettings settings = LoadSettings(context_.cf_inifile);
  // 1. The calibration entry only on a calibration station.
  Calibrate1->setVisible(CalibrationMenuVisible(context_.HomeDir));
  // 2. A white picture.
  images_.iBild.Fill(255, 255, 255);
  ShowPicture(images_.iBild, 1);
  // 3. The serial for the calibration window.
  context_.state.SNEditText = settings.Serial;
  // 4. The language of the settings.
  context_.Sprache = settings.Language;
  if (!context_.LoadLanguage(context_.Sprache)) return;
  SetLanguage();
  // 5. The device calibration. A refused file is named; the gauge keeps the
  // last good calibration (at start, the defaults of an uncalibrated gauge).
  ShowRefusedFile(LoadCal(context_.state, context_.cf_inifile));
  ShowRefusedFile(settings.status);
  RefreshJobIds();
  // 6. Caption.
  Brand = 2;
  setWindowTitle(QString::fromUtf8(kProductdesc) + " v" +
                 QString::fromStdString(GetVersionInfos(context_.programFile)) + " SN " +
                 QString::fromStdString(GetSerial(context_.state)));
  // 7. Brand colour, icon and logo.
  QPalette pal = Menupanel->palette();
  pal.setColor(QPalette::Window, kPanelColor);
  Menupanel->setPalette(pal);
  setWindowIcon(ArtworkIcon("icon", 48));
  LogoImg->setPixmap(Artwork("logo", 200, 78));
  // 8. Report logo and text.
  if (settings_) settings_->LoadReportLogoAtStartup(BrandLogo());
  // 9. Units, digits, display options, level and fibre.
  ApplyStartupSettings(settings);
  // 10. Material.
  const int item = static_cast<int>(MaterialFromIndex(settings.Material));
  matButtons->button(item)->setChecked(true);
  MatGrpClick(item);
  // 11.
  context_.CALAktive = 0;
  FirstActivate = false;
}

void TFrmMain::ShowRefusedFile(const FileStatus& loaded) {
  if (!loaded.ok) context_.dialogs->Message(this, QString::fromStdString(loaded.message));
}

void TFrmMain::ApplyStartupSettings(const ProgramSettings& settings) {
  ApplySettings(settings, context_.state);
  ApplyUnitLabels();
  if (settings_) {
    settings_->ReadDisplayOptions(settings);
    OpenGroup->setVisible(settings_->ShowOpenbx->isChecked());
  }
}

void TFrmMain::ApplyUnitLabels() {
  const QString label = QString::fromStdString(UnitLabel(context_.state.Units));
  mmLabel1->setText(label);
  mmLabel2->setText(label);
  RadiusLabel->setText(label);
}

Bitmap TFrmMain::BrandLogo() const {
  return ToBitmap(Artwork("logo", 200, 78).toImage().convertToFormat(QImage::Format_RGB32));
}

void TFrmMain::SelectDevice() {
  const std::vector<std::string> names = DeviceFileNames(context_.HomeDir);
  if (connect_) connect_->SetFiles(names);
  if (names.size() < 2) {
    Connect1->setVisible(false);
    return;
  }
  if (!connect_) return;
  if (context_.dialogs->ExecModal(connect_) == 2) return;
  const std::string chosen = connect_->SelectedFile();
  if (chosen.empty()) return;
  context_.cf_inifile = UseDeviceFile(context_.HomeDir, chosen);
  // The start sequence below loads it again and names a refused file.
  LoadCal(context_.state, context_.cf_inifile);
  FirstActivate = true;
  StartupSequence();
}

void TFrmMain::RefreshbtnClick() {
  ResetAnalyseImg();
  ClearResults();
  if (!camera_) return;
  const TImgCalibration& c = context_.state.ImgCalibration;
  camera_->Refresh(c.Shutter - 3, c.Gain, c.Mirror, c.Flip);
  camera_->WaitKeyRelease(1000);
  camera_->VideoStatus = 1;
  Shutterbox->setCurrentIndex(c.Shutter - 3);
}

void TFrmMain::CapturebtnClick() {
  ClearResults();
  if (!camera_) return;
  const MaterialSettings& m = SettingsOf(CurrentMaterial());
  camera_->StartCapture(m.scanStart, TFrmPreview::kScanFrames, m.threshold);
}

void TFrmMain::PreviewImage(const Bitmap& frame) {
  const int top = context_.state.ImgCalibration.top;
  switch (context_.CALAktive) {
    case kToResults: {
      Flash->setChecked(!Flash->isChecked());
      Flash->repaint();
      ScrollTo(0, 0);
      const LiveGuide g = MainWindowGuide(ScrollBox1->width(), ScrollBox1->height(), top);
      QImage& picture = AnalysisImg->Picture();
      QPainter painter(&picture);
      painter.drawImage(QRect(0, 0, g.pictureWidth, g.pictureHeight), BitmapView(frame));
      painter.setPen(QPen(QColor(0, 255, 255), 1));
      QPolygon guide;
      for (const GuidePoint& p : g.polyline) guide << QPoint(p.x, p.y);
      painter.drawPolyline(guide);
      painter.drawLine(g.centreFrom.x, g.centreFrom.y, g.centreTo.x, g.centreTo.y);
      painter.end();
      AnalysisImg->update();
      break;
    }
    case kToCalibration: {
      if (!calibration_) break;
      const Bitmap picture = WithStationGuide(frame, top, 3);
      const int brightness = GetImgBrightnes(frame, PixelRect{320, top - 20, 960, top + 20}, 0);
      calibration_->ShowLiveFrame(picture, std::to_string(brightness));
      break;
    }
    case kToVerification: {
      if (!verification_) break;
      verification_->ShowLiveFrame(WithStationGuide(frame, top, 6));
      break;
    }
    default:
      break;
  }
}

void TFrmMain::Capture(const Bitmap& abmp, int count) {
  images_.iBild = abmp;
  context_.state.OLine = context_.state.MyLine;
  if (count <= 1) {
    images_.rBild = images_.iBild;
    TrapezLin(images_.iBild, images_.rBild, context_.state.ImgCalibration.top, context_.state.ImgCalibration.Trapez);
    ShowPicture(images_.rBild, 1);
  } else {
    DoAnalyze();
    switch (context_.CALAktive) {
      case kToResults:
        ShowResults();
        RecordResult();
        break;
      case kToCalibration:
        if (calibration_) calibration_->Capture(images_.rBild);
        break;
      case kToVerification:
        if (verification_) verification_->SetValues();
        break;
      case kToSeries:
        ShowResults();
        RecordResult();
        SaveDataToFile();
        break;
      default:
        break;
    }
  }
  const TImgCalibration& c = context_.state.ImgCalibration;
  if (camera_) camera_->SetShutterSpeed(c.Shutter - 3, c.Gain, c.Mirror, c.Flip);
  Shutterbox->setCurrentIndex(c.Shutter - 3);
}

DisplayOptions TFrmMain::Options() const {
  DisplayOptions o;
  if (settings_) {
    o.showOpen = settings_->ShowOpenbx->isChecked();
    o.showAlpha = settings_->ShowAlphabx->isChecked();
    o.showRadius = settings_->ShowRadiusBx->isChecked();
  }
  return o;
}

Material TFrmMain::CurrentMaterial() const { return MaterialFromIndex(MaterialItem()); }

int TFrmMain::MaterialItem() const { return std::max(0, matButtons->checkedId()); }

void TFrmMain::DoAnalyze() {
  ClearResults();
  lastOutcome_ = ::DoAnalyze(context_.state, images_, CurrentMaterial(), Options());
}

void TFrmMain::AnalyzebtnClick() {
  ClearResults();
  context_.state.MyLine.fill(0);
  UnpackProfile(images_.iBild, context_.state);
  DoAnalyze();
  ShowResults();
}

void TFrmMain::MatGrpClick(int item) {
  if (!camera_) return;
  const MaterialSettings& m = SettingsOf(MaterialFromIndex(item));
  camera_->brstart = m.scanStart;
  camera_->GKTH = m.threshold;
}

void TFrmMain::ResetAnalyseImg() {
  AnalysisImg->Reset(1280, 1024);
  ScrollTo(0, 0);
}

void TFrmMain::ClearResults() {
  RadiusGrp->hide();
  VGrp->hide();
  DepthResult->setText("0.000");
  WidthResult->setText("0.000");
  OpenResult->setText(QString::fromUtf8("0\u00b0"));
  RadiusResult->clear();
  AlphaV->clear();
}

int TFrmMain::Zoom() const { return settings_ ? settings_->ZoomEdit->value() : 1; }

void TFrmMain::ShowPicture(const Bitmap& picture, int zoom) {
  QImage view = BitmapView(picture).convertToFormat(QImage::Format_RGB32);
  if (zoom > 1) view = view.scaled(1280 * zoom, 1024 * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  AnalysisImg->SetPicture(std::move(view));
}

void TFrmMain::ScrollTo(int horizontal, int vertical) {
  ScrollBox1->horizontalScrollBar()->setValue(horizontal);
  ScrollBox1->verticalScrollBar()->setValue(vertical);
}

void TFrmMain::ShowResults() {
  const int z = Zoom();
  RadiusGrp->hide();
  VGrp->hide();
  ShowPicture(images_.rBild, z);
  DrawDebug(z);
  const TChannel& c = context_.state.MyChannel;
  const ScrollTarget t = ChannelScroll(c, z, ScrollBox1->width());
  ScrollTo(t.horizontal, t.vertical);

  const DisplayOptions options = Options();
  const ResultTexts texts = MakeResultTexts(context_.state, c, CurrentMaterial(), options);
  OpenGroup->setVisible(options.showOpen);
  OpenResult->setText(QString::fromStdString(texts.open));
  if (c.shape == 1) {
    VGrp->setVisible(texts.alphaVisible);
    AlphaV->setText(QString::fromStdString(texts.alphaV));
  } else if (c.shape == 2) {
    RadiusResult->setText(QString::fromStdString(texts.radius));
    RadiusGrp->setVisible(texts.radiusVisible);
  }
  DepthResult->setText(QString::fromStdString(texts.depth));
  QPalette pal = WidthResult->palette();
  pal.setColor(QPalette::WindowText, texts.widthRed ? Qt::red : Qt::black);
  WidthResult->setPalette(pal);
  WidthResult->setText(QString::fromStdString(texts.width));
  JudgeResult();
  PlayMySound(!judgement_ || judgement_->overall == Verdict::Ok ? "OK" : "FAIL");
}

namespace {

// The words of the verdict strip and the history status in the language of
// the program: OK, NOT OK, NOT DECIDABLE, depth, width, recorded, not
// recorded, the message of a measurement not recorded. English where the
// language file has no such section.
QString VerdictWord(const LanguageStore& language, int k) {
  static const char* const kEnglish[] = {"OK",       "NOT OK",       "NOT DECIDABLE",
                                         "depth",    "width",        "recorded",
                                         "not recorded", "The measurement was not recorded:"};
  const int header = language.IndexOf("JOBVERDICT");
  if (header < 0 || header + k >= language.Count()) return QString::fromUtf8(kEnglish[k - 1]);
  return QString::fromStdString(language.GetLanguageString(header + k));
}

int VerdictIndex(Verdict verdict) { return verdict == Verdict::Ok ? 1 : verdict == Verdict::NotOk ? 2 : 3; }

}  // namespace

void TFrmMain::JudgeResult() {
  judgement_.reset();
  JobContext job;
  FileStatus status;
  const std::string jobId = JobIDEdit->text().trimmed().toStdString();
  const JobLookup lookup =
      jobId.empty() ? JobLookup::Unknown
                    : FindJobContext(context_.HomeDir, jobId, context_.state, context_.cf_inifile, job, status);
  if (lookup == JobLookup::Unreadable) {
    // Named, never a silent "no job": the result stands without a verdict.
    VerdictStrip->setText(QString::fromStdString(status.message).toHtmlEscaped());
    VerdictStrip->setPalette(QPalette(QColor(255, 255, 255)));
    VerdictStrip->show();
    return;
  }
  if (lookup != JobLookup::Found) {
    VerdictStrip->hide();
    return;
  }
  const ResultNumbers numbers = NumbersOf(context_.state, CurrentMaterial(), lastOutcome_.shapeFound);
  judgement_ = JudgeMeasurement(job, numbers);
  auto limits = [](const Tolerance& t) {
    auto text = [](const std::optional<double>& v) { return v ? FormatFixed(*v, 3) : std::string("-"); };
    return text(t.lower) + " .. " + text(t.upper);
  };
  // The verdict large, the job's limits and the gauge's U small below it.
  const LanguageStore& l = context_.language;
  const QString text =
      QStringLiteral("<b style=\"font-size:15pt\">%1</b><br>%2: %3 %4, %5 %6 mm<br>U %7 / %8 mm")
          .arg(VerdictWord(l, VerdictIndex(judgement_->overall)).toHtmlEscaped(),
               QString::fromStdString(job.job.id).toHtmlEscaped(), VerdictWord(l, 4).toHtmlEscaped(),
               QString::fromStdString(limits(job.job.depthTolerance)), VerdictWord(l, 5).toHtmlEscaped(),
               QString::fromStdString(limits(job.job.widthTolerance)),
               QString::fromStdString(FormatFixed(judgement_->depthU, 3)),
               QString::fromStdString(FormatFixed(judgement_->widthU, 3)));
  const QColor colour = judgement_->overall == Verdict::Ok      ? QColor(0, 160, 0)
                        : judgement_->overall == Verdict::NotOk ? QColor(200, 0, 0)
                                                                : QColor(230, 150, 0);
  QPalette palette;
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::WindowText, Qt::white);
  VerdictStrip->setPalette(palette);
  VerdictStrip->setText(text);
  VerdictStrip->show();
}

void TFrmMain::RecordResult() {
  const ResultTexts texts = MakeResultTexts(context_.state, context_.state.MyChannel, CurrentMaterial(), Options());
  HistoryRecord record = MeasurementRecord(context_.state, CurrentMaterial(),
                                           NumbersOf(context_.state, CurrentMaterial(), lastOutcome_.shapeFound),
                                           texts, UnitLabel(context_.state.Units), lastOutcome_.shapeFound, judgement_,
                                           context_.cf_inifile);
  if (!judgement_) record.jobId = JobIDEdit->text().trimmed().toStdString();
  const FileStatus recorded = RecordMeasurement(context_.HomeDir, record, &images_.iBild, context_.cf_inifile);
  if (recorded.ok) {
    HistoryStatus->setText(VerdictWord(context_.language, 6) + QStringLiteral(" #%1").arg(record.id));
    lastHistoryFailure_.clear();
    return;
  }
  // The measurement stands; the operator is told once, the status bar keeps saying it.
  HistoryStatus->setText(VerdictWord(context_.language, 7));
  HistoryStatus->setToolTip(QString::fromStdString(recorded.message));
  if (recorded.message != lastHistoryFailure_) {
    lastHistoryFailure_ = recorded.message;
    context_.dialogs->Message(this, VerdictWord(context_.language, 8) + " " + QString::fromStdString(recorded.message));
  }
}

void TFrmMain::RefreshJobIds() {
  std::vector<Job> jobs;
  if (!LoadJobs(JobFile(context_.HomeDir), jobs).ok) return;
  QStringList ids;
  for (const Job& job : jobs) ids << QString::fromStdString(job.id);
  if (auto* model = qobject_cast<QStringListModel*>(JobIDEdit->completer()->model())) model->setStringList(ids);
}

void TFrmMain::DrawDebug(int zoom) {
  if (!settings_) return;
  const TChannel& c = context_.state.MyChannel;
  QImage& picture = AnalysisImg->Picture();
  QPainter painter(&picture);
  QPen pen(QColor(0, 255, 0), 1);
  if (settings_->ShowMessPos->isChecked()) {
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    const std::pair<TRealPoint, TRealPoint> chords[] = {{c.plt, c.prt}, {c.pl10, c.pr10}, {c.pl20, c.pr20},
                                                        {c.pl30, c.pr30}, {c.pl40, c.pr40}, {c.pl50, c.pr50},
                                                        {c.pl80, c.pr80}, {c.plb, c.prb}};
    for (const auto& [a, b] : chords) painter.drawLine(Zoomed(a, zoom), Zoomed(b, zoom));
  }
  if (settings_->ShowShape->isChecked()) {
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const int b = Round((c.pr80.x - c.pl80.x) / 6);
    const int left = Round((c.pl80.x + b) * zoom);
    const int right = Round((c.pr80.x - b) * zoom);
    painter.drawLine(left, 0, left, 1024 * zoom);
    painter.drawLine(right, 0, right, 1024 * zoom);
    auto line = [&](double m, double cc) {
      painter.drawLine(0, Round(cc * zoom), 1280 * zoom, Round((m * 1280 + cc) * zoom));
    };
    line(static_cast<double>(c.bm), static_cast<double>(c.bc));
    line(static_cast<double>(c.lvm), static_cast<double>(c.lvc));
    line(static_cast<double>(c.rvm), static_cast<double>(c.rvc));
    painter.drawEllipse(QRect(QPoint(Round((c.mx - c.radius) * zoom), Round((c.my - c.radius) * zoom)),
                              QPoint(Round((c.mx + c.radius) * zoom), Round((c.my + c.radius) * zoom))));
  }
  painter.end();
  AnalysisImg->update();
}

void TFrmMain::MouseMoved(int x, int y) {
  const int z = Zoom();
  SetStatus(0, QString::number(ImagePixel(x, z)));
  SetStatus(1, QString::number(ImagePixel(y, z)));
}

void TFrmMain::SetKeyIndicator(bool pressed) {
  Taste->setChecked(pressed);
  Taste->repaint();
}

void TFrmMain::SetProgress(int percent) {
  ScanProgress->setValue(percent);
  ScanProgress->repaint();
}

void TFrmMain::ShowMessage(const std::string& text) {
  context_.dialogs->Message(this, QString::fromStdString(text));
}

void TFrmMain::SetCalibration(CalibrationDestination* destination, std::function<void()> showModal) {
  calibration_ = destination;
  showCalibration_ = std::move(showModal);
}

void TFrmMain::SetVerification(VerificationDestination* destination, std::function<void(bool)> showModal) {
  verification_ = destination;
  showVerification_ = std::move(showModal);
}
