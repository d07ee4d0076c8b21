#pragma once

// The simulated gauge: a capture device named "Videology USB-C (simulated)"
// with both control interfaces, showing a channel sample as the gauge's
// camera would (see simulated_optics.h). It can be unplugged and plugged in
// again, and its trigger key pressed and released, by a test or the user.
//
// In real time it serves each request on its own thread at the next tick of
// its frame clock; otherwise it renders a requested frame at once on the
// requesting thread, so headless runs need no waiting.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "capture/capture_device.h"
#include "capture/simulated_optics.h"
#include "capture/videology.h"

inline constexpr const char* kSimulatedGaugeName = "Videology USB-C (simulated)";

struct SimulatedGaugeOptions {
  bool realTime = false;
  bool commonInterface = true;
  bool cmosInterface = true;
};

class SimulatedGauge final : public CaptureBackend, public IVideologyCommon, public IVideologyCMOS {
public:
  explicit SimulatedGauge(const SimulatedSample& sample = {}, const GaugeOptics& optics = {},
                          const SimulatedGaugeOptions& options = {});
  ~SimulatedGauge() override;

  // The sample under the gauge from the next frame on.
  void SetSample(const SimulatedSample& sample);
  void PressKey(bool pressed);
  // Unplugging reports the loss to a running stream; the device is then
  // neither listed nor opened until plugged in again.
  void Unplug();
  void PlugIn();
  CameraSettings Settings() const;

  std::vector<std::string> DeviceNames() override;
  std::unique_ptr<CaptureDevice> Open(const std::string& name) override;

  VideologyStatus ReadI2C(std::int32_t device, std::int32_t reg, std::uint16_t& value) override;
  VideologyStatus WriteI2C(std::int32_t device, std::int32_t reg, std::uint16_t value) override;
  VideologyStatus GetSnapshotState(std::int32_t& state) override;
  VideologyStatus SetAGC(std::uint32_t gain) override;
  VideologyStatus SetMirror(std::uint32_t on) override;
  VideologyStatus SetFlip(std::uint32_t on) override;
  VideologyStatus SetShutterSpeed(eShutterSpeedCMOS step) override;

private:
  class Stream;
  friend class Stream;

  // Renders the next frame with the settings of this moment.
  void RenderFrame(Bitmap& out);
  bool Attach(Stream* stream);
  void Detach(Stream* stream);

  const GaugeOptics optics_;
  const SimulatedGaugeOptions options_;
  mutable std::mutex mutex_;
  std::shared_ptr<const SimulatedOptics> view_;
  CameraSettings settings_;
  bool keyPressed_ = false;
  bool plugged_ = true;
  std::uint64_t frameCount_ = 0;
  std::map<std::int32_t, std::uint16_t> registers_;
  Stream* stream_ = nullptr;  // the running stream, if any
};
