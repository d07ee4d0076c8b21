#include "capture/v4l2_camera.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <libv4l2.h>
#include <linux/input.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "capture/v4l2_rules.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPollMilliseconds = 100;

int Ioctl(int fd, unsigned long request, void* argument) {
  int result = 0;
  do {
    result = v4l2_ioctl(fd, request, argument);
  } while (result < 0 && errno == EINTR);
  return result;
}

// The number after "video" in a node name, for ordering video0 < video10.
int NodeNumber(const std::string& name) {
  return std::atoi(name.c_str() + 5);
}

std::optional<std::string> CaptureCardName(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  v4l2_capability capability{};
  const bool queried = ::ioctl(fd, VIDIOC_QUERYCAP, &capability) == 0;
  ::close(fd);
  if (!queried) return std::nullopt;
  const std::uint32_t caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps
                                                                              : capability.capabilities;
  if (!(caps & V4L2_CAP_VIDEO_CAPTURE)) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(capability.card),
                     strnlen(reinterpret_cast<const char*>(capability.card), sizeof capability.card));
}

// The input event device the UVC driver registers for the camera's button
// sits below the video node's USB interface in sysfs.
std::string KeyEventDevice(const std::string& videoPath) {
  const fs::path inputs = fs::path("/sys/class/video4linux") / fs::path(videoPath).filename() / "device/input";
  std::error_code error;
  for (const auto& input : fs::directory_iterator(inputs, error)) {
    for (const auto& entry : fs::directory_iterator(input.path(), error)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("event", 0) == 0) return "/dev/input/" + name;
    }
  }
  return {};
}

class V4l2Camera final : public CaptureDevice, public IVideologyCommon, public IVideologyCMOS {
public:
  V4l2Camera(std::string path, CaptureMode preferred) : path_(std::move(path)), preferred_(preferred) {
    const std::string keyDevice = KeyEventDevice(path_);
    if (!keyDevice.empty()) keyFd_ = ::open(keyDevice.c_str(), O_RDONLY | O_NONBLOCK);
  }

  ~V4l2Camera() override {
    Stop();
    if (keyFd_ >= 0) ::close(keyFd_);
  }

  std::vector<CaptureMode> Modes() override {
    const int fd = fd_ >= 0 ? fd_ : v4l2_open(path_.c_str(), O_RDWR | O_NONBLOCK);
    if (fd < 0) return {};
    std::vector<CaptureMode> offered;
    v4l2_frmsizeenum size{};
    size.pixel_format = V4L2_PIX_FMT_BGR24;
    while (Ioctl(fd, VIDIOC_ENUM_FRAMESIZES, &size) == 0 && size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
      offered.push_back({static_cast<int>(size.discrete.width), static_cast<int>(size.discrete.height)});
      ++size.index;
    }
    if (fd != fd_) v4l2_close(fd);
    return OrderModes(offered, preferred_);
  }

  bool Start(int modeIndex, double framesPerSecond, FrameSink& sink) override {
    if (fd_ >= 0) return false;
    const std::vector<CaptureMode> modes = Modes();
    const CaptureMode mode = modeIndex >= 0 && modeIndex < static_cast<int>(modes.size()) ? modes[modeIndex]
                             : modeIndex == 0                                               ? preferred_
                                                                                            : CaptureMode{};
    if (mode.width <= 0) return false;
    fd_ = v4l2_open(path_.c_str(), O_RDWR | O_NONBLOCK);
    if (fd_ < 0) return false;
    if (!SetFormat(mode) || !StartReading()) {
      v4l2_close(fd_);
      fd_ = -1;
      return false;
    }
    if (framesPerSecond > 0) SetFrameRate(framesPerSecond);
    ApplySettings();
    mode_ = mode;
    sink_ = &sink;
    stop_ = false;
    armed_ = false;
    worker_ = std::thread([this] { Run(); });
    return true;
  }

  void Stop() override {
    if (fd_ < 0) return;
    stop_ = true;
    worker_.join();
    std::lock_guard lock(controlMutex_);
    v4l2_close(fd_);
    fd_ = -1;
  }

  void RequestFrame() override { armed_ = true; }

  IVideologyCommon* CommonInterface() override { return keyFd_ >= 0 ? this : nullptr; }
  IVideologyCMOS* CmosInterface() override { return this; }

  VideologyStatus ReadI2C(std::int32_t, std::int32_t, std::uint16_t&) override { return kVideologyFailed; }
  VideologyStatus WriteI2C(std::int32_t, std::int32_t, std::uint16_t) override { return kVideologyFailed; }

  VideologyStatus GetSnapshotState(std::int32_t& state) override {
    unsigned long keys[KEY_MAX / (8 * sizeof(unsigned long)) + 1] = {};
    if (keyFd_ < 0 || ::ioctl(keyFd_, EVIOCGKEY(sizeof keys), keys) < 0) return kVideologyFailed;
    constexpr unsigned bits = 8 * sizeof(unsigned long);
    state = (keys[KEY_CAMERA / bits] >> (KEY_CAMERA % bits)) & 1 ? 1 : 0;
    return kVideologyOk;
  }

  VideologyStatus SetAGC(std::uint32_t gain) override {
    return Remember(gain_, static_cast<std::int64_t>(gain), [this] { return ApplyGain(); });
  }
  VideologyStatus SetMirror(std::uint32_t on) override {
    return Remember(mirror_, on != 0, [this] { return SetControl(V4L2_CID_HFLIP, mirror_ ? 1 : 0); });
  }
  VideologyStatus SetFlip(std::uint32_t on) override {
    return Remember(flip_, on != 0, [this] { return SetControl(V4L2_CID_VFLIP, flip_ ? 1 : 0); });
  }
  VideologyStatus SetShutterSpeed(eShutterSpeedCMOS step) override {
    return Remember(shutter_, static_cast<int>(step), [this] { return ApplyExposure(); });
  }

private:
  // Settings are kept so that a later start applies them; while streaming
  // they go to the driver at once.
  template <typename T, typename Apply>
  VideologyStatus Remember(std::optional<T>& slot, T value, Apply apply) {
    std::lock_guard lock(controlMutex_);
    slot = value;
    if (fd_ < 0) return kVideologyOk;
    return apply() ? kVideologyOk : kVideologyFailed;
  }

  void ApplySettings() {
    std::lock_guard lock(controlMutex_);
    if (gain_) ApplyGain();
    if (shutter_) ApplyExposure();
    if (mirror_) SetControl(V4L2_CID_HFLIP, *mirror_ ? 1 : 0);
    if (flip_) SetControl(V4L2_CID_VFLIP, *flip_ ? 1 : 0);
  }

  std::optional<ControlRange> Range(std::uint32_t id) {
    v4l2_queryctrl query{};
    query.id = id;
    if (Ioctl(fd_, VIDIOC_QUERYCTRL, &query) < 0 || (query.flags & V4L2_CTRL_FLAG_DISABLED)) return std::nullopt;
    return ControlRange{query.minimum, query.maximum, query.step};
  }

  bool SetControl(std::uint32_t id, std::int64_t value) {
    const std::optional<ControlRange> range = Range(id);
    if (!range) return false;
    v4l2_control control{};
    control.id = id;
    control.value = static_cast<std::int32_t>(ClampToRange(value, *range));
    return Ioctl(fd_, VIDIOC_S_CTRL, &control) == 0;
  }

  bool ApplyGain() { return SetControl(V4L2_CID_GAIN, *gain_); }

  bool ApplyExposure() {
    const std::optional<ControlRange> range = Range(V4L2_CID_EXPOSURE_ABSOLUTE);
    if (!range) return false;
    v4l2_control manual{};
    manual.id = V4L2_CID_EXPOSURE_AUTO;
    manual.value = V4L2_EXPOSURE_MANUAL;
    Ioctl(fd_, VIDIOC_S_CTRL, &manual);
    return SetControl(V4L2_CID_EXPOSURE_ABSOLUTE, ExposureUnits(*shutter_, *range));
  }

  bool SetFormat(CaptureMode mode) {
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix.width = static_cast<std::uint32_t>(mode.width);
    format.fmt.pix.height = static_cast<std::uint32_t>(mode.height);
    format.fmt.pix.pixelformat = V4L2_PIX_FMT_BGR24;
    format.fmt.pix.field = V4L2_FIELD_NONE;
    if (Ioctl(fd_, VIDIOC_S_FMT, &format) < 0) return false;
    const FormatAnswer answer{format.fmt.pix.pixelformat, static_cast<int>(format.fmt.pix.width),
                              static_cast<int>(format.fmt.pix.height), format.fmt.pix.bytesperline};
    stride_ = AcceptedRowStride(answer, mode);
    buffer_.resize(std::max<std::size_t>(format.fmt.pix.sizeimage, stride_ * static_cast<std::size_t>(mode.height)));
    return stride_ != 0;
  }

  void SetFrameRate(double framesPerSecond) {
    v4l2_streamparm parameters{};
    parameters.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    parameters.parm.capture.timeperframe.numerator = 1000;
    parameters.parm.capture.timeperframe.denominator = static_cast<std::uint32_t>(std::lround(framesPerSecond * 1000));
    Ioctl(fd_, VIDIOC_S_PARM, &parameters);
  }

  // libv4l2 starts its streaming on the first read; a device that polls
  // before streaming reports an error, so read once before polling.
  bool StartReading() {
    return v4l2_read(fd_, buffer_.data(), buffer_.size()) >= 0 || errno == EAGAIN || errno == EINTR;
  }

  void Run() {
    while (!stop_) {
      pollfd waiting{fd_, POLLIN, 0};
      const int ready = ::poll(&waiting, 1, kPollMilliseconds);
      if (ready < 0 && errno == EINTR) continue;
      if (ready < 0 || (waiting.revents & (POLLERR | POLLHUP | POLLNVAL))) break;
      if (ready == 0) continue;
      const auto got = v4l2_read(fd_, buffer_.data(), buffer_.size());
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (got < 0) break;
      if (armed_.exchange(false)) sink_->FrameGrabbed(ToBitmap());
    }
    if (!stop_) sink_->DeviceLost();
  }

  Bitmap ToBitmap() const {
    Bitmap frame(mode_.width, mode_.height);
    for (int y = 0; y < mode_.height; ++y) {
      std::memcpy(frame.Row(y), buffer_.data() + static_cast<std::size_t>(y) * stride_, frame.RowBytes());
    }
    return frame;
  }

  const std::string path_;
  const CaptureMode preferred_;
  int fd_ = -1;
  int keyFd_ = -1;
  CaptureMode mode_;
  std::uint32_t stride_ = 0;
  std::vector<std::uint8_t> buffer_;
  FrameSink* sink_ = nullptr;
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> armed_{false};
  std::mutex controlMutex_;
  std::optional<std::int64_t> gain_;
  std::optional<int> shutter_;
  std::optional<bool> mirror_;
  std::optional<bool> flip_;
};

}  // namespace

V4l2Backend::V4l2Backend(CaptureMode preferred, std::string deviceFolder, std::string onlyNode)
    : preferred_(preferred), deviceFolder_(std::move(deviceFolder)), onlyNode_(std::move(onlyNode)) {}

std::vector<V4l2Backend::Node> V4l2Backend::CaptureNodes() const {
  std::vector<std::string> paths;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(deviceFolder_, error)) {
    const std::string name = entry.path().filename().string();
    if (!onlyNode_.empty() && name != onlyNode_) continue;
    if (name.rfind("video", 0) == 0 && name.size() > 5) paths.push_back(name);
  }
  std::sort(paths.begin(), paths.end(),
            [](const std::string& a, const std::string& b) { return NodeNumber(a) < NodeNumber(b); });
  std::vector<Node> nodes;
  for (const std::string& name : paths) {
    const std::string path = (fs::path(deviceFolder_) / name).string();
    const std::optional<std::string> card = CaptureCardName(path);
    // A camera with two capture nodes of the same name is listed once.
    if (!card) continue;
    if (std::none_of(nodes.begin(), nodes.end(), [&](const Node& n) { return n.card == *card; })) {
      nodes.push_back({path, *card});
    }
  }
  return nodes;
}

std::vector<std::string> V4l2Backend::DeviceNames() {
  std::vector<std::string> names;
  for (const Node& node : CaptureNodes()) names.push_back(node.card);
  return names;
}

std::unique_ptr<CaptureDevice> V4l2Backend::Open(const std::string& name) {
  for (const Node& node : CaptureNodes()) {
    if (node.card == name) return std::make_unique<V4l2Camera>(node.path, preferred_);
  }
  return nullptr;
}
