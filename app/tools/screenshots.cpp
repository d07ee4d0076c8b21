// Renders the windows of veldra-qx offscreen into PNG pictures for the
// documentation: the main window after a simulated measurement of each
// channel shape, the live picture with its guide, the settings pages, the
// service panel and the small windows.
//
//   vqx_screenshots PROGRAM_FILE DEMO_HOME OUTPUT_FOLDER

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QThread>
#include <QToolButton>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "app/about_dialog.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/settings_dialog.h"
#include "app/simulated_gauge_panel.h"
#include "app/user_dialogs.h"
#include "capture/simulated_gauge.h"

namespace {

class SilentUser final : public UserDialogs {
public:
  void Message(QWidget*, const QString& text, const QString&) override {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
  }
  bool Question(QWidget*, const QString&) override { return true; }
  void Fatal(const QString& text) override {
    std::fprintf(stderr, "fatal: %s\n", text.toUtf8().constData());
    std::exit(1);
  }
  int ExecModal(QDialog*) override { return 2; }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
    return {};
  }
  void OpenUrl(const QUrl&) override {}
};

bool PumpUntil(const std::function<bool()>& done, int milliseconds = 30000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(1);
  }
  return true;
}

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

  main.GroupBox1->show();
  Save(&main, out / "main_service_panel.png");
  main.GroupBox1->hide();

  program.About().show();
  Save(&program.About(), out / "about.png");
  return 0;
}
