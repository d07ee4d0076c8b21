#include "capture/simulated_gauge.h"

#include <chrono>
#include <condition_variable>
#include <thread>
#include <utility>

namespace {

constexpr double kDefaultFramesPerSecond = 15;
constexpr std::int32_t kRegisterCount = 256;

}  // namespace

// One opened connection to the gauge. Its mutex guards the request and run
// state; the gauge's mutex guards what is shared with the gauge. Lock order:
// the gauge's before the stream's, never the other way.
class SimulatedGauge::Stream final : public CaptureDevice {
public:
  explicit Stream(SimulatedGauge& gauge) : gauge_(gauge) {}
  ~Stream() override { Stop(); }

  std::vector<CaptureMode> Modes() override { return {{kSensorWidth, kSensorHeight}}; }

  bool Start(int modeIndex, double framesPerSecond, FrameSink& sink) override {
    if (modeIndex != 0 || running_) return false;
    if (!gauge_.Attach(this)) return false;
    {
      std::lock_guard lock(mutex_);
      sink_ = &sink;
      running_ = true;
      lost_ = false;
      requested_ = false;
    }
    if (gauge_.options_.realTime) {
      const double rate = framesPerSecond > 0 ? framesPerSecond : kDefaultFramesPerSecond;
      worker_ = std::thread([this, rate] { Run(rate); });
    }
    return true;
  }

  void Stop() override {
    {
      std::lock_guard lock(mutex_);
      if (!running_) return;
      running_ = false;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
    gauge_.Detach(this);
  }

  void RequestFrame() override {
    {
      std::lock_guard lock(mutex_);
      if (!running_ || lost_) return;
      if (gauge_.options_.realTime) {
        requested_ = true;
        wake_.notify_all();
        return;
      }
    }
    Bitmap frame;
    gauge_.RenderFrame(frame);
    sink_->FrameGrabbed(std::move(frame));
  }

  IVideologyCommon* CommonInterface() override { return gauge_.options_.commonInterface ? &gauge_ : nullptr; }
  IVideologyCMOS* CmosInterface() override { return gauge_.options_.cmosInterface ? &gauge_ : nullptr; }

  // Called by the gauge, under its mutex, when it is unplugged.
  void Lose() {
    std::lock_guard lock(mutex_);
    if (!running_ || lost_) return;
    lost_ = true;
    sink_->DeviceLost();
  }

private:
  using Clock = std::chrono::steady_clock;

  // Serves each request at the next tick of a clock running at `rate`.
  void Run(double rate) {
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1 / rate));
    const Clock::time_point start = Clock::now();
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return !running_ || requested_; });
      if (!running_) return;
      const auto ticks = (Clock::now() - start) / period + 1;
      if (wake_.wait_until(lock, start + ticks * period, [this] { return !running_; })) return;
      requested_ = false;
      if (lost_) continue;
      lock.unlock();
      Bitmap frame;
      gauge_.RenderFrame(frame);
      lock.lock();
      if (running_ && !lost_) sink_->FrameGrabbed(std::move(frame));
    }
  }

  SimulatedGauge& gauge_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::thread worker_;
  FrameSink* sink_ = nullptr;
  bool running_ = false;
  bool lost_ = false;
  bool requested_ = false;
};

SimulatedGauge::SimulatedGauge(const SimulatedSample& sample, const GaugeOptics& optics,
                               const SimulatedGaugeOptions& options)
    : optics_(optics), options_(options), view_(std::make_shared<SimulatedOptics>(sample, optics)) {}

SimulatedGauge::~SimulatedGauge() = default;

void SimulatedGauge::SetSample(const SimulatedSample& sample) {
  auto view = std::make_shared<const SimulatedOptics>(sample, optics_);
  std::lock_guard lock(mutex_);
  view_ = std::move(view);
}

void SimulatedGauge::PressKey(bool pressed) {
  std::lock_guard lock(mutex_);
  keyPressed_ = pressed;
}

void SimulatedGauge::Unplug() {
  std::lock_guard lock(mutex_);
  plugged_ = false;
  if (stream_) stream_->Lose();
}

void SimulatedGauge::PlugIn() {
  std::lock_guard lock(mutex_);
  plugged_ = true;
}

CameraSettings SimulatedGauge::Settings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

std::vector<std::string> SimulatedGauge::DeviceNames() {
  std::lock_guard lock(mutex_);
  if (!plugged_) return {};
  return {kSimulatedGaugeName};
}

std::unique_ptr<CaptureDevice> SimulatedGauge::Open(const std::string& name) {
  std::lock_guard lock(mutex_);
  if (!plugged_ || name != kSimulatedGaugeName) return nullptr;
  return std::make_unique<Stream>(*this);
}

VideologyStatus SimulatedGauge::ReadI2C(std::int32_t device, std::int32_t reg, std::uint16_t& value) {
  std::lock_guard lock(mutex_);
  if (!plugged_ || device != 0 || reg < 0 || reg >= kRegisterCount) return kVideologyFailed;
  const auto found = registers_.find(reg);
  value = found == registers_.end() ? 0 : found->second;
  return kVideologyOk;
}

VideologyStatus SimulatedGauge::WriteI2C(std::int32_t device, std::int32_t reg, std::uint16_t value) {
  std::lock_guard lock(mutex_);
  if (!plugged_ || device != 0 || reg < 0 || reg >= kRegisterCount) return kVideologyFailed;
  registers_[reg] = value;
  return kVideologyOk;
}

VideologyStatus SimulatedGauge::GetSnapshotState(std::int32_t& state) {
  std::lock_guard lock(mutex_);
  if (!plugged_) return kVideologyFailed;
  state = keyPressed_ ? 1 : 0;
  return kVideologyOk;
}

VideologyStatus SimulatedGauge::SetAGC(std::uint32_t gain) {
  std::lock_guard lock(mutex_);
  if (!plugged_) return kVideologyFailed;
  settings_.gain = gain;
  return kVideologyOk;
}

VideologyStatus SimulatedGauge::SetMirror(std::uint32_t on) {
  std::lock_guard lock(mutex_);
  if (!plugged_) return kVideologyFailed;
  settings_.mirror = on != 0;
  return kVideologyOk;
}

VideologyStatus SimulatedGauge::SetFlip(std::uint32_t on) {
  std::lock_guard lock(mutex_);
  if (!plugged_) return kVideologyFailed;
  settings_.flip = on != 0;
  return kVideologyOk;
}

VideologyStatus SimulatedGauge::SetShutterSpeed(eShutterSpeedCMOS step) {
  std::lock_guard lock(mutex_);
  if (!plugged_ || step > sscMax) return kVideologyFailed;
  settings_.shutter = step;
  return kVideologyOk;
}

void SimulatedGauge::RenderFrame(Bitmap& out) {
  std::shared_ptr<const SimulatedOptics> view;
  CameraSettings settings;
  std::uint64_t frame = 0;
  {
    std::lock_guard lock(mutex_);
    view = view_;
    settings = settings_;
    frame = frameCount_++;
  }
  view->Render(settings, frame, out);
}

bool SimulatedGauge::Attach(Stream* stream) {
  std::lock_guard lock(mutex_);
  if (!plugged_ || (stream_ && stream_ != stream)) return false;
  stream_ = stream;
  return true;
}

void SimulatedGauge::Detach(Stream* stream) {
  std::lock_guard lock(mutex_);
  if (stream_ == stream) stream_ = nullptr;
}
