#include "cli/simulated_scan.h"

#include "imaging/scan_sequence.h"
#include "capture/simulated_gauge.h"
#include "capture/video_capture.h"
#include "platform/event_loop.h"

namespace {

// The main window as a headless scan needs it: keeps the result and lets go
// of the key once the result is there, as an operator would.
class ScanHost final : public PreviewHost {
public:
  ScanHost(MeasurementSetup& setup, SimulatedGauge& gauge, EventLoop& loop, SimulatedScan& scan,
           const std::function<void(int)>& progress, const std::function<void(const std::string&)>& message)
      : setup_(setup), gauge_(gauge), loop_(loop), scan_(scan), progress_(progress), message_(message) {}

  void PreviewImage(const Bitmap&) override {}
  void Capture(const Bitmap& image, int count) override {
    scan_.outcome = CaptureResult(setup_.state, images_, image, count, setup_.material, setup_.options);
    scan_.image = images_.iBild;
    scan_.picture = images_.rBild;
    scan_.frames = count;
    captured = true;
    loop_.Post([this] { gauge_.PressKey(false); });
  }
  void ResetAnalyseImg() override {}
  void ClearResults() override {}
  void SetKeyIndicator(bool) override {}
  void SetProgress(int percent) override {
    if (progress_) progress_(percent);
  }
  Bitmap& BrightnessImage() override { return brightness_; }
  void ShowMessage(const std::string& text) override {
    if (message_) message_(text);
  }

  bool captured = false;

private:
  MeasurementSetup& setup_;
  SimulatedGauge& gauge_;
  EventLoop& loop_;
  SimulatedScan& scan_;
  const std::function<void(int)>& progress_;
  const std::function<void(const std::string&)>& message_;
  MeasurementImages images_;
  Bitmap brightness_;
};

// Runs events until `done` holds; false after two seconds without any event.
template <typename Done>
bool PumpUntil(EventLoop& loop, Done done) {
  int quietWaits = 0;
  while (!done()) {
    if (loop.ProcessPendingEvents() > 0) {
      quietWaits = 0;
    } else if (!loop.WaitForEvents(std::chrono::milliseconds(100)) && ++quietWaits >= 20) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool RunSimulatedScan(MeasurementSetup& setup, const SimulatedSample& sample, std::uint32_t seed,
                      const LanguageStore& language, SimulatedScan& scan, std::string& error,
                      const std::function<void(int)>& progress,
                      const std::function<void(const std::string&)>& message) {
  QueuedEventLoop loop;
  SimulatedGauge gauge(sample, OpticsOf(setup.state.ImgCalibration, seed));
  VideoCapture capture(loop, {&gauge});
  ScanHost host(setup, gauge, loop, scan, progress, message);
  TFrmPreview preview(loop, capture, host, setup.state, language);
  const MaterialSettings& material = SettingsOf(setup.material);
  preview.brstart = material.scanStart;
  preview.GKTH = material.threshold;

  const TImgCalibration& cal = setup.state.ImgCalibration;
  preview.Refresh(cal.Shutter - 3, cal.Gain, cal.Mirror, cal.Flip);
  preview.WaitKeyRelease(1000);
  preview.VideoStatus = 1;
  if (!PumpUntil(loop, [&] { return preview.VideoStatus == 2; })) {
    error = "the simulated gauge delivers no live picture";
    return false;
  }
  gauge.PressKey(true);
  if (!PumpUntil(loop, [&] { return host.captured && preview.VideoStatus <= 4; })) {
    error = "the scan did not complete";
    return false;
  }
  return true;
}
