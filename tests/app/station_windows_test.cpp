// The calibration and verification windows opened from the main window of a
// whole simulated program, offscreen.

#include <QAction>
#include <QBarSet>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPdfDocument>
#include <QPdfView>
#include <QPushButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QToolButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include <fstream>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "calibration/calibration_window.h"
#include "calibration/tolerance_shape.h"
#include "calibration/verification_window.h"
#include "capture/reference_samples.h"
#include "capture/simulated_gauge.h"
#include "imaging/scan_sequence.h"
#include "measure/settings_file.h"
#include "platform/atomic_file.h"
#include "platform/profile_file.h"
#include "shell/startup.h"
#include "tests/app/program_fixture.h"
#include "ui/bitmap_image.h"
#include "ui/picture_box.h"

namespace {

void Write(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; }

std::string Read(const std::filesystem::path& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

// The demo home with the display unit inch and a calibration station file.
void StationHome(const std::filesystem::path& home) {
  std::string settings = Read(home / "VELDRAQX.INI");
  settings.replace(settings.find("UNITS_mm=254"), 12, "UNITS_mm=10");
  Write(home / "VELDRAQX.INI", settings);
  Write(home / "VELDRAQXEICH.INI", "[VELDRAQX]\nISEICH=" + std::to_string(kCalibrationStationCode) + "\n");
}

// Waits for `count` new pictures in `box` (every frame of the simulated gauge
// differs by its noise).
void WaitForPictures(const PictureBox* box, int count) {
  for (int i = 0; i < count; ++i) {
    const QImage before = box->Picture().copy();
    ASSERT_TRUE(PumpUntil([&] { return !box->Picture().isNull() && box->Picture() != before; }));
  }
}

// A reference sample of the station resting under the program's simulated gauge.
SimulatedSample OnBench(const SimulatedSample& sample) { return UnderGauge(kSimulatedGaugeTruth, sample); }

std::vector<std::filesystem::path> PdfFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ".pdf" && Read(entry.path()).starts_with("%PDF-")) files.push_back(entry.path());
  }
  return files;
}

QString Cell(const QTableWidget* grid, int row, int column) {
  const QTableWidgetItem* item = grid->item(row, column);
  return item ? item->text() : QString();
}

// The life of a gauge through the windows: calibrated with its certificate,
// then verified with its report.
TEST(CalibrationWindow, LiveFrameSurfaceReferenceCalibrationCertificateThenVerification) {
  ProgramFixture f(StationHome);
  f.Start();
  TFrmMain& main = f.program->Main();
  AppContext& context = f.program->Context();
  main.FormActivate();
  ASSERT_TRUE(main.Calibrate1->isVisible());
  ASSERT_EQ(context.state.Units, 1);
  TCalibFrm& w = f.program->Calibration();
  SimulatedGauge& gauge = *f.program->Gauge();

  bool ran = false;
  f.user.beforeModal = [&](QDialog*) {
    ran = true;
    EXPECT_EQ(context.CALAktive, kToCalibration);
    EXPECT_EQ(context.state.Units, 25.4);
    EXPECT_EQ(w.CalibratePages->currentIndex(), 0);
    EXPECT_EQ(w.CalHEdit->text(), "2.100");
    EXPECT_EQ(w.CALWEdit->text(), "3.000");
    EXPECT_EQ(w.TopRefLabel->text(), "200");
    EXPECT_EQ(w.SNEdit->text(), "00001");
    EXPECT_EQ(w.ShutterCombo->currentText(), "    1/200");
    EXPECT_EQ(w.brandButtons->checkedId(), 2);

    // Live frames with the red guide at the surface row, and the brightness.
    w.Refreshbtn->click();
    ASSERT_NO_FATAL_FAILURE(WaitForPictures(w.CALImg, 2));
    EXPECT_FALSE(w.BRLabel->text().isEmpty());
    const QColor guide = w.CALImg->Picture().pixelColor(100, context.state.ImgCalibration.top);
    EXPECT_GT(guide.red(), 200);
    EXPECT_LT(guide.green(), 60);

    // Max on the flat reference: without the station's values it cannot pass.
    gauge.SetSample(OnBench(FlatReferenceSample()));
    ASSERT_NO_FATAL_FAILURE(WaitForPictures(w.CALImg, 2));
    w.Maxbtn->click();
    EXPECT_EQ(w.BRTolShape->State(), Indicator::Red);
    EXPECT_FALSE(w.SampleTop->text().isEmpty());
    // The report picture with the fitted surface line drawn in red.
    const QColor line = w.BRImage->Picture().pixelColor(640, w.SampleTop->text().toInt());
    EXPECT_EQ(line, QColor(255, 0, 0));
    // With a station file made for this gauge (New reads it again) it passes.
    Write(f.home / "VELDRAQXEICH.INI", "[VELDRAQX]\nISEICH=" + std::to_string(kCalibrationStationCode) +
                                           "\n[VELDRAQXCALSETUP]\nCALTOP=" + w.SampleTop->text().toStdString() +
                                           "\nCALB=" + w.BRLabel2->text().toStdString() + "\n");
    w.Newbtn->click();
    w.Maxbtn->click();
    EXPECT_EQ(w.BRTolShape->State(), Indicator::Green);
    EXPECT_EQ(w.BRTolShape->Brush(), QColor(0, 128, 0));

    // The certificate is refused while the channel is not calibrated.
    w.CreatePDFbtn->click();
    ASSERT_FALSE(f.user.messages.empty());
    EXPECT_EQ(f.user.messages.back(), "Calibration out of Tolerance or incomplete!");

    // A scan of the calibration channel goes to this window, not to the results.
    gauge.SetSample(OnBench(RectangularChannel(2.1, 3.0)));
    ASSERT_NO_FATAL_FAILURE(WaitForPictures(w.CALImg, 2));
    const QString resultBefore = main.DepthResult->text();
    main.Capturebtn->click();
    ASSERT_TRUE(PumpUntil([&] { return w.CountHLabel->text() == "1/1"; }));
    EXPECT_EQ(main.DepthResult->text(), resultBefore);
    EXPECT_FALSE(w.PPIRes->text().isEmpty());
    EXPECT_EQ(w.ZFactorRes->text().size(), 5) << w.ZFactorRes->text().toStdString();
    EXPECT_EQ(w.DimShape->State(), Indicator::Green);
    EXPECT_EQ(w.BeadImage->Picture(), BitmapView(main.Images().rBild));

    // Both green: the calibration is saved and the certificate shown on the page "Report".
    f.user.messages.clear();
    w.CreatePDFbtn->click();
    EXPECT_TRUE(f.user.messages.empty()) << f.user.messages[0].toStdString();
    EXPECT_TRUE(std::filesystem::exists(f.home / "VELDRAQXINI" / "00001_VELDRAQX.INI"));
    EXPECT_EQ(ReadProfileInt("VELDRAQXCAL", "PixelPerInch", 0, f.home / "VELDRAQX.INI"),
              w.PPIRes->text().toInt());
    ASSERT_EQ(PdfFiles(f.home / "CALReports").size(), 1u);
    EXPECT_EQ(w.CalibratePages->currentIndex(), 2);
    EXPECT_EQ(w.ReportWebBrowser->document()->pageCount(), 1);
    EXPECT_EQ(w.ReportWebBrowser->document()->status(), QPdfDocument::Status::Ready);
  };
  main.Calibrate1->trigger();
  EXPECT_TRUE(ran);
  ASSERT_EQ(f.user.modalShown.size(), 1u);
  EXPECT_EQ(f.user.modalShown[0], "CalibFrm");
  EXPECT_EQ(context.CALAktive, kToResults);
  EXPECT_EQ(context.state.Units, 1);
  EXPECT_EQ(w.windowTitle(), "Calibrate");
  EXPECT_EQ(w.size(), QSize(1184, 742));

  // The new calibration verified on the target channel 0.520 x 3.000.
  TFrmVerify& v = f.program->Verification();
  f.user.beforeModal = [&](QDialog*) {
    gauge.SetSample(OnBench(RectangularChannel(0.52, 3.0)));
    v.Refreshbtn->click();
    ASSERT_TRUE(PumpUntil([&] { return f.program->Camera().VideoStatus == 2; }));
    v.Capturebtn->click();
    ASSERT_TRUE(PumpUntil([&] { return v.DListBx->count() == 1; }));
    EXPECT_EQ(v.DepthShape->State(), Indicator::Green) << v.BDepth->text().toStdString() << " x "
                                                       << v.BWidth->text().toStdString();
    v.VerifyPDF->click();
    EXPECT_EQ(PdfFiles(f.home / "VerifyReports").size(), 1u);
  };
  main.Verify1Click();
}

TEST(CalibrationWindow, LinearityPageTakesTheScanIntoGridAndChart) {
  ProgramFixture f(StationHome);
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  TCalibFrm& w = f.program->Calibration();
  f.user.beforeModal = [&](QDialog*) {
    w.CalibratePages->setCurrentIndex(1);
    w.ClearGraphbtn->click();
    EXPECT_EQ(Cell(w.VeryGrid, 0, 0), "REF");
    EXPECT_EQ(Cell(w.VeryGrid, 0, 1), "Depth");
    EXPECT_EQ(Cell(w.VeryGrid, 1, 0), "0.100");
    EXPECT_EQ(Cell(w.VeryGrid, 4, 0), "0.400");
    f.program->Gauge()->SetSample(OnBench(LinearityChannel(0.1)));
    w.VRefreshbtn->click();
    EXPECT_EQ(f.program->Context().CALAktive, kToCalibration);
    ASSERT_NO_FATAL_FAILURE(WaitForPictures(w.CALImg, 2));
    main.Capturebtn->click();
    ASSERT_TRUE(PumpUntil([&] { return !Cell(w.VeryGrid, 1, 1).isEmpty(); }));
    EXPECT_EQ(w.Series2->count(), 1);
    EXPECT_EQ(w.Series2->at(0).x(), 0.1);
    EXPECT_NEAR(w.Series2->at(0).y(), Cell(w.VeryGrid, 1, 1).toDouble(), 0.0005);
    ASSERT_EQ(w.Series4Bars->count(), 2);  // index 0 stays empty, capture 1 at 1
    EXPECT_NEAR(w.Series4Bars->at(1), w.Series2->at(0).y() - 0.1, 1e-9);
    EXPECT_TRUE(w.CountHLabel->text().isEmpty());
    // The linearity file of the serial.
    w.SaveVerybtn->click();
    EXPECT_TRUE(std::filesystem::exists(f.home / "VELDRAQXINI" / "00001_LIN.TXT"));
    // The table from the grid: its last point is the calibration depth.
    w.SaveLUTbtn->click();
    EXPECT_EQ(ReadProfileString("VELDRAQXCAL", "LUTX5", "", 30, f.home / "VELDRAQX.INI"), "2.10000");
    EXPECT_GT(f.program->Context().state.ImgCalibration.LUTX[1], 0);

    // Delete discards what was not saved: the calibration of the file in use.
    f.program->Context().state.ImgCalibration.PixelPerInch = 1234;
    w.Deletebtn->click();
    EXPECT_EQ(f.program->Context().state.ImgCalibration.PixelPerInch, 3573);  // the demo home's calibration
    EXPECT_EQ(w.result(), QDialog::Rejected);
  };
  main.Calibrate1Click();
}

TEST(CalibrationWindow, CameraControlsSerialAndLoadIni) {
  ProgramFixture f(StationHome);
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  MeasureState& state = f.program->Context().state;
  TCalibFrm& w = f.program->Calibration();
  f.user.beforeModal = [&](QDialog*) {
    w.Refreshbtn->click();
    ASSERT_TRUE(PumpUntil([&] { return f.program->Camera().VideoStatus == 2; }));
    // Mirror and flip reach the camera each as itself.
    w.Mirror->click();
    CameraSettings camera = f.program->Gauge()->Settings();
    EXPECT_TRUE(camera.mirror);
    EXPECT_FALSE(camera.flip);
    w.ShutterCombo->setCurrentIndex(12);
    w.GainEdit->setValue(150);
    camera = f.program->Gauge()->Settings();
    EXPECT_EQ(camera.shutter, 12);
    EXPECT_EQ(camera.gain, 150u);
    EXPECT_EQ(state.ImgCalibration.Shutter, 12);
    EXPECT_EQ(state.ImgCalibration.Gain, 150);

    w.SNEdit->setText("99");
    w.NextSNbtn->click();
    EXPECT_EQ(w.SNEdit->text(), "00100");
    EXPECT_EQ(state.SNEditText, "00100");

    // Load.INI: a stored device file becomes the calibration; the serial stays.
    const std::filesystem::path device = f.home / "VELDRAQXINI" / "00042_VELDRAQX.INI";
    std::filesystem::create_directories(device.parent_path());
    Write(device, "[VELDRAQXCAL]\nSHUTTER=7\nGAIN=90\nPixelPerInch=3500\n");
    f.user.fileNames = {QString::fromStdString(device.string())};
    f.program->Context().CALAktive = kToResults;
    w.LoadIniBtn->click();
    EXPECT_EQ(w.ShutterCombo->currentIndex(), 7);
    EXPECT_EQ(w.GainEdit->value(), 90);
    EXPECT_EQ(state.ImgCalibration.PixelPerInch, 3500);
    EXPECT_EQ(w.SNEdit->text(), "00100");
    EXPECT_EQ(f.program->Context().CALAktive, kToCalibration);
  };
  main.Calibrate1Click();
}

// A station file the calibration cannot rest on is named when the window
// opens, and Save then writes nothing.
TEST(CalibrationWindow, RefusedStationFileIsNamedAndNothingIsSaved) {
  ProgramFixture f([](const std::filesystem::path& home) {
    StationHome(home);
    Write(home / "VELDRAQXEICH.INI", "[VELDRAQX]\nISEICH=" + std::to_string(kCalibrationStationCode) +
                                         "\n[VELDRAQXCALSETUP]\nLEVEL=7\n");
  });
  f.Start();
  f.program->Main().FormActivate();
  const std::string before = Read(f.home / "VELDRAQX.INI");
  TCalibFrm& w = f.program->Calibration();
  f.user.beforeModal = [&](QDialog*) {
    ASSERT_EQ(f.user.messages.size(), 1u);
    EXPECT_TRUE(f.user.messages[0].contains("key LEVEL of section [VELDRAQXCALSETUP] is 7, outside 0 .. 3"))
        << f.user.messages[0].toStdString();
    w.Savebtn->click();
    ASSERT_EQ(f.user.messages.size(), 2u);
    EXPECT_TRUE(f.user.messages[1].startsWith("The calibration was not saved")) << f.user.messages[1].toStdString();
  };
  f.program->Main().Calibrate1Click();
  EXPECT_EQ(Read(f.home / "VELDRAQX.INI"), before);
  EXPECT_FALSE(std::filesystem::exists(f.home / "VELDRAQXINI" / "00001_VELDRAQX.INI"));
}

TEST(VerificationWindow, ScansJudgedSlopePanelByServiceCodeReportOnlyAfterPass) {
  ProgramFixture f;
  f.Start();
  TFrmMain& main = f.program->Main();
  AppContext& context = f.program->Context();
  main.FormActivate();
  const int digits = context.state.Digits;
  TFrmVerify& w = f.program->Verification();
  // After a scan the live picture is started again before the next.
  auto capture = [&](int lines) {
    w.Refreshbtn->click();
    ASSERT_TRUE(PumpUntil([&] { return f.program->Camera().VideoStatus == 2; }));
    w.Capturebtn->click();
    ASSERT_TRUE(PumpUntil([&] { return w.DListBx->count() == lines; }));
  };

  f.user.beforeModal = [&](QDialog*) {
    EXPECT_EQ(context.CALAktive, kToVerification);
    EXPECT_EQ(context.state.Digits, 3);
    EXPECT_TRUE(w.SlopePanel->isHidden());
    EXPECT_FALSE(w.VerifyPDF->isEnabled());
    EXPECT_EQ(w.BDepth->text(), "...");
    EXPECT_EQ(w.CALWEdit->text(), "3.000");
    EXPECT_EQ(w.CALDEdit->text(), "0.520");
    EXPECT_EQ(w.WLabel->text(), "width:");
    w.Refreshbtn->click();
    ASSERT_NO_FATAL_FAILURE(WaitForPictures(w.PrevImg, 2));
    EXPECT_EQ(context.CALAktive, kToVerification);

    // The first capture derives the verification factors and passes.
    ASSERT_NO_FATAL_FAILURE(capture(1));
    EXPECT_EQ(w.WListBx->count(), 1);
    EXPECT_EQ(w.BDepth->text(), "0.520");
    EXPECT_EQ(w.DepthShape->Brush(), QColor(0, 128, 0));
    EXPECT_TRUE(w.VerifyPDF->isEnabled());
    EXPECT_EQ(w.CountLabel->text(), "1");

    // Another target depth and level "50%": the capture fails.
    w.CALDEdit->setText("0.900");
    w.levelButtons->button(3)->click();
    ASSERT_NO_FATAL_FAILURE(capture(2));
    EXPECT_EQ(context.state.Level, -3);
    EXPECT_EQ(w.DepthShape->Brush(), QColor(255, 0, 0));
    EXPECT_FALSE(w.VerifyPDF->isEnabled());

    // Back at the target: the report stores the targets and is shown.
    w.CALDEdit->setText("0.520");
    w.levelButtons->button(0)->click();
    ASSERT_NO_FATAL_FAILURE(capture(3));
    ASSERT_TRUE(w.VerifyPDF->isEnabled());
    // A report that cannot be written says so and shows nothing.
    Write(f.home / "VerifyReports", "a file where the folder belongs");
    w.VerifyPDF->click();
    ASSERT_EQ(f.user.messages.size(), 1u);
    EXPECT_TRUE(f.user.messages[0].contains("VerifyReports")) << f.user.messages[0].toStdString();
    EXPECT_EQ(w.VerifyPages->currentIndex(), 0);
    std::filesystem::remove(f.home / "VerifyReports");
    f.user.messages.clear();
    w.VerifyPDF->click();
    EXPECT_TRUE(f.user.messages.empty()) << f.user.messages[0].toStdString();
    EXPECT_EQ(ReadProfileInt("MORKELTARGET", "TD", 0, context.cf_inifile), 520);
    ASSERT_EQ(PdfFiles(f.home / "VerifyReports").size(), 1u);
    EXPECT_EQ(w.VerifyPages->currentIndex(), 1);
    EXPECT_EQ(w.ReportWebBrowser->document()->pageCount(), 1);
  };
  main.Verify1->trigger();
  EXPECT_EQ(context.CALAktive, kToResults);
  EXPECT_EQ(context.state.Digits, digits);

  // With the service code the slope panel shows the captures kept so far.
  WriteProfileString("VELDRAQX", "SHOWMOREINFO", std::to_string(kShowMoreInfoCode), context.cf_inifile);
  f.user.beforeModal = [&](QDialog*) {
    EXPECT_FALSE(w.SlopePanel->isHidden());
    EXPECT_FALSE(w.VerifyPDF->isEnabled());
    EXPECT_EQ(w.CountLabel->text(), "3");
    EXPECT_EQ(w.DListBx->count(), 3);
    EXPECT_TRUE(w.SLDepth->text().contains(':'));
    w.RESETSlope->click();
    EXPECT_EQ(w.DListBx->count(), 0);
    EXPECT_EQ(w.SLDepth->text(), "  1.00000000");
  };
  main.Verify1Click();
  ASSERT_EQ(f.user.modalShown.size(), 2u);
  EXPECT_EQ(f.user.modalShown[1], "FrmVerify");
  EXPECT_EQ(w.size(), QSize(783, 563));
}

}  // namespace
