// vqx_bench_app: the desktop program's timings, offscreen.
//   StartToFirstLiveFrame  program start (windows created, start-up sequence,
//                          live picture started) until the first live frame
//                          is on screen
//   CopyFrames             baseline: a copy of the 14 frames of a scan
//   ResultAfterScan        what the main window does after the 14th frame:
//                          analysis, overlay, result display at zoom 1
//   LiveFrameOnScreen      one live frame scaled into the image area with
//                          its placement guide, and painted
//   LivePicture            three seconds of live picture at the camera's
//                          pace: frames per second and CPU of the window's
//                          thread (the simulated camera's own rendering runs
//                          on its thread and is reported apart)
// Medians of 5 repetitions; the ratio of ResultAfterScan to CopyFrames is
// printed at the end.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "app/main_window.h"
#include "app/program.h"
#include "app/tools/pump_until.h"
#include "capture/simulated_gauge.h"
#include "ui/user_dialogs.h"

namespace {

class SilentUser final : public UserDialogs {
public:
  void Message(QWidget*, const QString&, const QString&) override {}
  bool Question(QWidget*, const QString&, const QString&) override { return true; }
  void Fatal(const QString&) override { std::exit(1); }
  int ExecModal(QDialog*) override { return 2; }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
    return {};
  }
  void OpenUrl(const QUrl&) override {}
};

std::filesystem::path Home() {
  // A fresh copy per run, so the demo home's calibration is the committed one.
  static const std::filesystem::path home = [] {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vqx_bench_app_home";
    std::filesystem::remove_all(folder);
    std::filesystem::copy(std::filesystem::path(VQX_SOURCE_DIR) / "data/demo", folder,
                          std::filesystem::copy_options::recursive);
    return folder;
  }();
  return home;
}

ProgramOptions Options(bool realTime) {
  ProgramOptions o;
  o.home = Home();
  o.programFile = VQX_PROGRAM;
  o.simulate = true;
  o.simulatedRealTime = realTime;
  return o;
}

double ThreadCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_THREAD, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void StartToFirstLiveFrame(benchmark::State& state) {
  SilentUser user;
  for (auto _ : state) {
    VeldraProgram program(Options(true), user);
    TFrmMain& main = program.Main();
    const bool flash = main.Flash->isChecked();
    main.show();
    PumpUntil([&] { return !main.firstActivatePending(); });
    main.Refreshbtn->click();
    if (!PumpUntil([&] { return main.Flash->isChecked() != flash; })) state.SkipWithError("no live frame");
    state.PauseTiming();
    program.Camera().VideoStatus = 0;
    state.ResumeTiming();
  }
}

void CopyFrames(benchmark::State& state) {
  std::array<Bitmap, 14> frames;
  std::array<Bitmap, 14> copies;
  for (Bitmap& f : frames) f.SetSize(1280, 1024);
  for (auto _ : state) {
    for (int i = 0; i < 14; ++i) copies[i] = frames[i];
    benchmark::DoNotOptimize(copies[13].Data());
  }
}

void ResultAfterScan(benchmark::State& state) {
  SilentUser user;
  VeldraProgram program(Options(false), user);
  TFrmMain& main = program.Main();
  main.show();
  PumpUntil([&] { return !main.firstActivatePending(); });
  main.Refreshbtn->click();
  PumpUntil([&] { return program.Camera().VideoStatus == 2; });
  main.Capturebtn->click();
  PumpUntil([&] { return main.DepthResult->text() != "0.000"; });
  const Bitmap combined = main.Images().iBild;
  const TProfileLine line = program.Context().state.MyLine;
  for (auto _ : state) {
    program.Context().state.MyLine = line;
    main.Capture(combined, 14);
    QCoreApplication::processEvents();
  }
}

// One live frame onto the screen: the picture scaled into the image area
// with the placement guide.
void LiveFrameOnScreen(benchmark::State& state) {
  SilentUser user;
  VeldraProgram program(Options(false), user);
  TFrmMain& main = program.Main();
  main.show();
  PumpUntil([&] { return !main.firstActivatePending(); });
  Bitmap frame(1280, 1024);
  frame.Fill(30, 60, 90);
  for (auto _ : state) {
    main.PreviewImage(frame);
    QCoreApplication::processEvents();
  }
}

void LivePicture(benchmark::State& state) {
  SilentUser user;
  VeldraProgram program(Options(true), user);
  TFrmMain& main = program.Main();
  main.show();
  PumpUntil([&] { return !main.firstActivatePending(); });
  main.Refreshbtn->click();
  int frames = 0;
  QObject::connect(main.Flash, &QRadioButton::toggled, [&] { ++frames; });
  PumpUntil([&] { return frames > 3; });
  for (auto _ : state) {
    frames = 0;
    const double thread0 = ThreadCpuSeconds();
    const double process0 = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    // The window's own event loop, as the program runs it (no polling).
    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    loop.exec();
    const double seconds = wall.elapsed() / 1000.0;
    state.counters["fps"] = frames / seconds;
    state.counters["window_cpu_pct"] = 100 * (ThreadCpuSeconds() - thread0) / seconds;
    state.counters["with_camera_cpu_pct"] = 100 * (ProcessCpuSeconds() - process0) / seconds;
  }
}

}  // namespace

BENCHMARK(StartToFirstLiveFrame)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(CopyFrames)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(ResultAfterScan)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(LiveFrameOnScreen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(LivePicture)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly();

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);

  struct Medians : benchmark::ConsoleReporter {
    void ReportRuns(const std::vector<Run>& runs) override {
      ConsoleReporter::ReportRuns(runs);
      for (const Run& r : runs) {
        if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
          if (r.run_name.function_name == "CopyFrames") copy = r.GetAdjustedRealTime();
          if (r.run_name.function_name == "ResultAfterScan") result = r.GetAdjustedRealTime();
        }
      }
    }
    double copy = 0;
    double result = 0;
  } reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (reporter.copy > 0) {
    std::printf("\nResultAfterScan median %.2f ms = %.1f x the copy of 14 frames (%.2f ms)\n", reporter.result,
                reporter.result / reporter.copy, reporter.copy);
  }
  benchmark::Shutdown();
  return 0;
}
