#pragma once

// The capture component of the camera window: builds a "graph" for one video
// source out of the available capture devices, runs its preview stream and
// hands one frame per request to OnBitmapGrabbed on the thread that processes
// the event loop. Every member is called on that thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/bitmap.h"
#include "capture/capture_device.h"
#include "platform/event_loop.h"

// The settings a graph is built from. Audio and file capture are not
// offered: their wishes are kept and otherwise ignored.
struct TGraphConfig {
  std::string VCapSource;
  std::string ACapSource;
  bool WantAudio = false;
  bool WantAudioPreview = false;
  bool WantBitmaps = false;
  bool WantCapture = false;
  bool WantDVAudio = false;
  bool WantPreview = false;
};

class VideoCapture {
public:
  // The backends are searched in order; they must outlive the component.
  VideoCapture(EventLoop& loop, std::vector<CaptureBackend*> backends);
  ~VideoCapture();
  VideoCapture(const VideoCapture&) = delete;
  VideoCapture& operator=(const VideoCapture&) = delete;

  // Friendly names of all video input devices present now.
  std::vector<std::string> GetVideoDevicesList() const;

  bool Previewing() const { return previewing_; }
  // Starts the stream of the configured source, opening it again when it was
  // lost. False when there is no such device or it refuses.
  bool StartPreview();
  void StopPreview();
  // The preview wish: a graph rebuilt with the wish set starts by itself.
  bool WantPreview() const { return config_.WantPreview; }
  void SetWantPreview(bool want) { config_.WantPreview = want; }

  void SetFrameRate(double framesPerSecond) { frameRate_ = framesPerSecond; }
  void SetUseFrameRate(bool use) { useFrameRate_ = use; }

  void SaveGraph(TGraphConfig& config) const { config = config_; }
  // Rebuilds the graph for config.VCapSource: the old device is closed and
  // its control interfaces forgotten. False when the source is not present.
  bool RestoreGraph(const TGraphConfig& config);

  // Capture format index used from the next start on.
  void SetVCapMode(int index) { modeIndex_ = index; }
  // Formats of the open device (empty without one).
  std::vector<CaptureMode> Modes() const;

  // Asks the open device for the two control interfaces by identifier;
  // true when at least one was obtained.
  bool InitMFilters(std::string_view comId, std::string_view cmosId);
  IVideologyCommon* COMFilter() const { return comFilter_; }
  IVideologyCMOS* CMOSFilter() const { return cmosFilter_; }

  // Arms a one-shot request: the next frame of the running source is handed
  // once to OnBitmapGrabbed. A request while one is on its way adds nothing;
  // a request while stopped is served once the stream runs. Needs WantBitmaps.
  void CaptureFrame();

  // The frame is released after the handler returns; whatever the handler
  // throws ends here.
  std::function<void(const Bitmap& frame)> OnBitmapGrabbed;
  std::function<void()> OnDeviceLost;

private:
  class Session;

  void CloseDevice();
  void FrameArrived(std::uint64_t generation, const Bitmap& frame);
  void DeviceGone(std::uint64_t generation);

  EventLoop& loop_;
  std::vector<CaptureBackend*> backends_;
  TGraphConfig config_;
  double frameRate_ = 0;
  bool useFrameRate_ = false;
  int modeIndex_ = 0;
  std::unique_ptr<CaptureDevice> device_;
  std::unique_ptr<Session> session_;
  IVideologyCommon* comFilter_ = nullptr;
  IVideologyCMOS* cmosFilter_ = nullptr;
  bool previewing_ = false;
  bool armed_ = false;
  // Bumped whenever a stream stops, so that frames and losses it posted
  // before stopping are recognised as stale.
  std::uint64_t generation_ = 0;
  // Posted events hold a weak reference and do nothing once it expired.
  std::shared_ptr<VideoCapture*> self_;
};
