#include "capture/video_capture.h"

#include <utility>

// The sink of one running stream: posts what the device reports to the event
// loop, tagged with the stream's generation.
class VideoCapture::Session final : public FrameSink {
public:
  Session(EventLoop& loop, std::weak_ptr<VideoCapture*> owner, std::uint64_t generation)
      : loop_(loop), owner_(std::move(owner)), generation_(generation) {}

  void FrameGrabbed(Bitmap frame) override {
    auto shared = std::make_shared<Bitmap>(std::move(frame));
    loop_.Post([owner = owner_, generation = generation_, shared] {
      if (auto self = owner.lock()) (*self)->FrameArrived(generation, *shared);
    });
  }

  void DeviceLost() override {
    loop_.Post([owner = owner_, generation = generation_] {
      if (auto self = owner.lock()) (*self)->DeviceGone(generation);
    });
  }

private:
  EventLoop& loop_;
  std::weak_ptr<VideoCapture*> owner_;
  std::uint64_t generation_;
};

VideoCapture::VideoCapture(EventLoop& loop, std::vector<CaptureBackend*> backends)
    : loop_(loop), backends_(std::move(backends)), self_(std::make_shared<VideoCapture*>(this)) {}

VideoCapture::~VideoCapture() {
  CloseDevice();
}

std::vector<std::string> VideoCapture::GetVideoDevicesList() const {
  std::vector<std::string> names;
  for (CaptureBackend* backend : backends_) {
    for (std::string& name : backend->DeviceNames()) names.push_back(std::move(name));
  }
  return names;
}

bool VideoCapture::StartPreview() {
  if (previewing_) return true;
  if (!device_) {
    for (CaptureBackend* backend : backends_) {
      if ((device_ = backend->Open(config_.VCapSource))) break;
    }
    if (!device_) return false;
  }
  ++generation_;
  session_ = std::make_unique<Session>(loop_, self_, generation_);
  if (!device_->Start(modeIndex_, useFrameRate_ ? frameRate_ : 0, *session_)) {
    session_.reset();
    return false;
  }
  previewing_ = true;
  if (armed_) device_->RequestFrame();
  return true;
}

void VideoCapture::StopPreview() {
  if (!previewing_) return;
  device_->Stop();
  session_.reset();
  previewing_ = false;
  ++generation_;
}

bool VideoCapture::RestoreGraph(const TGraphConfig& config) {
  CloseDevice();
  config_ = config;
  for (CaptureBackend* backend : backends_) {
    if ((device_ = backend->Open(config_.VCapSource))) break;
  }
  if (!device_) return false;
  if (config_.WantPreview) StartPreview();
  return true;
}

std::vector<CaptureMode> VideoCapture::Modes() const {
  return device_ ? device_->Modes() : std::vector<CaptureMode>{};
}

bool VideoCapture::InitMFilters(std::string_view comId, std::string_view cmosId) {
  comFilter_ = device_ && comId == IID_VideologyCOM ? device_->CommonInterface() : nullptr;
  cmosFilter_ = device_ && cmosId == CLSID_Videology24B13 ? device_->CmosInterface() : nullptr;
  return comFilter_ != nullptr || cmosFilter_ != nullptr;
}

void VideoCapture::CaptureFrame() {
  if (!config_.WantBitmaps || armed_) return;
  armed_ = true;
  if (previewing_) device_->RequestFrame();
}

void VideoCapture::CloseDevice() {
  StopPreview();
  comFilter_ = nullptr;
  cmosFilter_ = nullptr;
  device_.reset();
}

void VideoCapture::FrameArrived(std::uint64_t generation, const Bitmap& frame) {
  if (generation != generation_ || !armed_) return;
  armed_ = false;
  if (!OnBitmapGrabbed) return;
  // A failing handler must not take the component with it; it simply does
  // not request the next frame, so the chain stops.
  try {
    OnBitmapGrabbed(frame);
  } catch (...) {
  }
}

void VideoCapture::DeviceGone(std::uint64_t generation) {
  if (generation != generation_) return;
  CloseDevice();
  armed_ = false;
  if (!OnDeviceLost) return;
  try {
    OnDeviceLost();
  } catch (...) {
  }
}
