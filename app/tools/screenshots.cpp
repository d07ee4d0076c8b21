// Renders the windows of veldra-qx offscreen into PNG pictures for the
// documentation: the main window after a simulated measurement of each
// channel shape, the live picture with its guide, the settings pages, the
// service panel, the calibration window with its linearity page, the
// verification window and the small windows.
//
//   vqx_screenshots PROGRAM_FILE DEMO_HOME OUTPUT_FOLDER

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/about_dialog.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/settings_dialog.h"
#include "app/simulated_gauge_panel.h"
#include "app/tools/pump_until.h"
#include "calibration/calibration_window.h"
#include "calibration/verification_window.h"
#include "capture/reference_samples.h"
#include "capture/simulated_gauge.h"
#include "shell/startup.h"
#include "station/station_setup.h"
#include "ui/app_context.h"
#include "ui/picture_box.h"
#include "ui/user_dialogs.h"

namespace {

class SilentUser final : public UserDialogs {
public:
  void Message(QWidget*, const QString& text, const QString&) override {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
  }
  bool Question(QWidget*, const QString&, const QString&) override { return true; }
  void Fatal(const QString& text) override {
    std::fprintf(stderr, "fatal: %s\n", text.toUtf8().constData());
    std::exit(1);
  }
  // Runs `duringModal` with the dialog shown, as if the user worked in it.
  int ExecModal(QDialog* dialog) override {
    if (!duringModal) return 2;
    dialog->show();
    duringModal(dialog);
    dialog->hide();
    return 2;
  }
  std::function<void(QDialog*)> duringModal;
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
    QString name = nextSaveName;
    nextSaveName.clear();
    return name;
  }
  QString nextSaveName;  // the answer of the next save dialog; empty: cancelled
  void OpenUrl(const QUrl&) override {}
};

// Waits for `count` new pictures in `box` (the gauge's noise makes each differ).
void WaitForPictures(const PictureBox* box, int count) {
  for (int i = 0; i < count; ++i) {
    const QImage before = box->Picture().copy();
    PumpUntil([&] { return !box->Picture().isNull() && box->Picture() != before; });
  }
}

// A reference sample of the station, resting under the simulated gauge.
SimulatedSample OnBench(const SimulatedSample& sample) { return UnderGauge(kSimulatedGaugeTruth, sample); }

void Save(QWidget* widget, const std::filesystem::path& file) {
  QCoreApplication::processEvents();
  if (!widget->grab().save(QString::fromStdString(file.string()))) {
    std::fprintf(stderr, "cannot write %s\n", file.c_str());
    std::exit(3);
  }
  std::printf("%s\n", file.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: vqx_screenshots PROGRAM_FILE DEMO_HOME OUTPUT_FOLDER\n");
    return 2;
  }
  const std::filesystem::path out = argv[3];
  std::filesystem::create_directories(out);
  const std::filesystem::path home = std::filesystem::temp_directory_path() / "vqx_screenshots_home";
  std::filesystem::remove_all(home);
  std::filesystem::copy(argv[2], home, std::filesystem::copy_options::recursive);

  SilentUser user;
  ProgramOptions options;
  options.home = home;
  options.programFile = argv[1];
  options.simulate = true;
  options.simulatedRealTime = false;
  VeldraProgram program(options, user);
  TFrmMain& main = program.Main();
  main.show();
  PumpUntil([&] { return !main.firstActivatePending(); });

  SimulatedGaugePanel& panel = *program.GaugePanel();
  main.Refreshbtn->click();
  PumpUntil([&] { return program.Camera().VideoStatus == 2; });
  PumpUntil([] { return false; }, 300);
  Save(&main, out / "main_live.png");

  struct Shape {
    const char* name;
    int item;
    double depth, width, angle, radius;
  };
  const Shape shapes[] = {{"flat", 0, 0.5, 1.6, 0, 0},
                          {"trapezoid", 1, 0.6, 1.8, 20, 0},
                          {"v", 2, 0.7, 1.6, 0, 0},
                          {"round", 3, 0.6, 1.2, 0, 0.6}};
  for (const Shape& s : shapes) {
    panel.ShapeCombo->setCurrentIndex(s.item);
    panel.DepthEdit->setValue(s.depth);
    panel.WidthEdit->setValue(s.width);
    panel.AngleEdit->setValue(s.angle);
    panel.RadiusEdit->setValue(s.radius);
    main.Refreshbtn->click();
    PumpUntil([&] { return program.Camera().VideoStatus == 2; });
    main.Capturebtn->click();
    PumpUntil([&] { return main.DepthResult->text() != "0.000"; });
    PumpUntil([] { return false; }, 200);
    Save(&main, out / (std::string("main_") + s.name + ".png"));
  }
  Save(&panel, out / "simulated_gauge.png");

  TFrmSettings& settings = program.Settings();
  settings.show();
  for (int page = 0; page < 3; ++page) {
    settings.Settingspages->setCurrentIndex(page);
    const char* names[] = {"settings_language.png", "settings_additional.png", "settings_reports.png"};
    Save(&settings, out / names[page]);
  }
  settings.hide();

  // The service panel after a series of three measurements, and its record file.
  main.GroupBox1->show();
  const std::filesystem::path record = out / "series_record.txt";
  user.nextSaveName = QString::fromStdString(record.string());
  main.StartbtnClick();
  PumpUntil([&] { return main.CECounter >= 3; }, 60000);
  main.STOPbtnClick();
  PumpUntil([&] { return main.T1Semaphore && program.Camera().VideoStatus <= 4; }, 5000);
  Save(&main, out / "main_service_panel.png");
  std::printf("%s\n", record.c_str());
  main.GroupBox1->hide();

  // The calibration window as a technician leaves it: the surface reference
  // found on the flat sample, the captures of the calibration channel, the
  // certificate, and the four linearity channels. When the home folder has
  // no station file, one is made from a first look at the flat sample, as a
  // station is set up for its reference sample.
  SimulatedGauge& gauge = *program.Gauge();
  TCalibFrm& calibration = program.Calibration();
  const bool stationFileGiven = std::filesystem::exists(home / "VELDRAQXEICH.INI");
  if (!stationFileGiven) {
    std::ofstream(home / "VELDRAQXEICH.INI") << "[VELDRAQX]\nISEICH=" << kCalibrationStationCode << "\n";
  }
  user.duringModal = [&](QDialog*) {
    gauge.SetSample(OnBench(FlatReferenceSample()));
    calibration.Refreshbtn->click();
    WaitForPictures(calibration.CALImg, 3);
    calibration.Maxbtn->click();
    if (!stationFileGiven) {
      std::ofstream(home / "VELDRAQXEICH.INI")
          << "[VELDRAQX]\nISEICH=" << kCalibrationStationCode << "\n[VELDRAQXCALSETUP]\nCALTOP="
          << calibration.SampleTop->text().toStdString() << "\nCALB=" << calibration.BRLabel2->text().toStdString()
          << "\n";
      calibration.Newbtn->click();
      calibration.Maxbtn->click();
    }
    gauge.SetSample(OnBench(RectangularChannel(2.1, 3.0)));
    WaitForPictures(calibration.CALImg, 3);
    // COUNTH captures of the calibration channel, averaged.
    // with the gauge's key, as the technician takes them: a press and release
    // after a result brings the live picture back, the next press scans.
    TFrmPreview& camera = program.Camera();
    StationSetup setup;
    ReadStationSetup(StationFile(home), setup);
    for (int i = 1; i <= setup.COUNTH; ++i) {
      if (camera.VideoStatus == 4) {
        gauge.PressKey(true);
        PumpUntil([&] { return camera.VideoStatus == 3; }, 5000);
        gauge.PressKey(false);
      }
      PumpUntil([&] { return camera.VideoStatus == 2; }, 5000);
      // The scan waits for the key's release inside its own event loop, so
      // the release comes from an event too, once the capture has arrived.
      const QString count = QStringLiteral("%1/").arg(i);
      QTimer release;
      release.setInterval(20);
      QObject::connect(&release, &QTimer::timeout, [&] {
        if (!calibration.CountHLabel->text().startsWith(count)) return;
        gauge.PressKey(false);
        release.stop();
      });
      gauge.PressKey(true);
      release.start();
      PumpUntil([&] { return !release.isActive() && camera.VideoStatus == 4; });
    }
    Save(&calibration, out / "calibration.png");
    calibration.CreatePDFbtn->click();
    if (calibration.CalibratePages->currentIndex() == 2) {
      PumpUntil([] { return false; }, 1500);
      Save(&calibration, out / "calibration_certificate.png");
    }

    calibration.CalibratePages->setCurrentIndex(1);
    calibration.ClearGraphbtn->click();
    // The station's own references, D1..D4 of its station file.
    for (int i = 0; i < 4; ++i) {
      gauge.SetSample(OnBench(LinearityChannel(calibration.Station().VerRef()[static_cast<std::size_t>(i)])));
      calibration.VRefreshbtn->click();
      WaitForPictures(calibration.CALImg, 3);
      main.Capturebtn->click();
      PumpUntil([&] { return calibration.Station().Chart().channel.size() == static_cast<std::size_t>(i + 1); });
    }
    Save(&calibration, out / "calibration_linearity.png");
  };
  main.Calibrate1Click();

  // The verification window with its service panel, after three captures of
  // the target channel.
  TFrmVerify& verification = program.Verification();
  user.duringModal = [&](QDialog*) {
    verification.SlopePanel->show();
    gauge.SetSample(OnBench(RectangularChannel(0.52, 3.0)));
    for (int i = 1; i <= 3; ++i) {
      verification.Refreshbtn->click();
      PumpUntil([&] { return program.Camera().VideoStatus == 2; });
      verification.Capturebtn->click();
      PumpUntil([&] { return verification.Station().controls.DListBx.size() == static_cast<std::size_t>(i); });
    }
    Save(&verification, out / "verification.png");
    if (verification.VerifyPDF->isEnabled()) {
      verification.VerifyPDF->click();
      PumpUntil([] { return false; }, 1500);
      Save(&verification, out / "verification_report.png");
    }
  };
  main.Verify1Click();
  user.duringModal = nullptr;

  program.About().show();
  Save(&program.About(), out / "about.png");
  return 0;
}
