// A calibration save as `vqx calibrate` makes it (the calibration into the
// file in use and the device file, the linearisation table into both, the
// linearity file: one commit under the home folder's lock), beside writing
// the same bytes once into the same files without any care, in the same run.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "station/calibration_station.h"
#include "station/station_panel.h"

namespace {

class SilentPanel final : public StationPanel {
public:
  void PlayMySound(StationSound) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void ShowMessage(const std::string& text) override { message = text; }
  bool CreatePDF(ReportKind) override { return true; }
  void SetShutterSpeed(int, int, bool, bool) override {}
  void SetGain(int) override {}
  void Refresh(int, int, bool, bool) override {}
  std::string message;
};

// A home folder with a station file and a calibrated gauge in memory.
struct SaveBench {
  SaveBench() : home(std::filesystem::temp_directory_path() / ("vqx_bench_save_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(home);
    WriteFileAtomically(home / "VELDRAQXEICH.INI",
                        "[VELDRAQXCALSETUP]\r\nCALTOP=320\r\nCALB=122\r\nCOUNTH=1\r\n[VELDRAQXSETUP]\r\nD1=100\r\n"
                        "D2=400\r\nD3=600\r\nD4=800\r\n");
    state.Units = 25.4;
    state.Digits = 3;
    state.ImgCalibration.PixelPerInch = 3583;
    state.ImgCalibration.ZFaktor = 1.046;
    station.InitCalRef(2);
    station.controls.SNEdit = "42";
    const char* depths[] = {"0.101", "0.404", "0.603", "0.801"};
    for (int i = 1; i <= 4; ++i) station.controls.VeryGrid[1][i] = depths[i - 1];
  }
  ~SaveBench() { std::filesystem::remove_all(home); }

  FileStatus Save() {
    station.BeginStep();
    station.SavebtnClick();
    station.SaveLUTbtnClick();
    station.SaveVerybtnClick();
    return station.CommitStep();
  }

  std::filesystem::path home;
  MeasureState state;
  StationPictures pictures;
  SilentPanel panel;
  CalibrationStation station{state, pictures, panel, home, home / "VELDRAQX.INI"};
};

void CalibrationSave(benchmark::State& state) {
  SaveBench bench;
  for (auto _ : state) {
    const FileStatus saved = bench.Save();
    if (!saved.ok) state.SkipWithError(saved.message.c_str());
  }
}

// The bytes of the three files a save leaves, written once: open, write, close.
void WriteCalibrationBytesOnce(benchmark::State& state) {
  SaveBench bench;
  if (const FileStatus saved = bench.Save(); !saved.ok) state.SkipWithError(saved.message.c_str());
  std::vector<std::pair<std::filesystem::path, std::string>> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(bench.home)) {
    // The calibration files, not the station file or the lock.
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || name == "VELDRAQXEICH.INI" || name.starts_with(".")) continue;
    std::string bytes;
    ReadWholeFile(entry.path(), bytes);
    files.emplace_back(entry.path().string() + ".plain", std::move(bytes));
  }
  for (auto _ : state) {
    for (const auto& [path, bytes] : files) {
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        state.SkipWithError("cannot write");
      }
      if (fd >= 0) ::close(fd);
    }
  }
  state.counters["files"] = static_cast<double>(files.size());
}

}  // namespace

BENCHMARK(CalibrationSave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WriteCalibrationBytesOnce)->Unit(benchmark::kMillisecond)->UseRealTime();
