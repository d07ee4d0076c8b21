#pragma once

// Video4Linux cameras: every /dev/video* node that captures video, listed by
// its card name. Frames come as BGR24 through libv4l2 (which converts from
// the camera's own formats); exposure, gain and the two flips are V4L2
// controls; the trigger key of a UVC camera is KEY_CAMERA on the input event
// device the driver registers beside the video node. There is no I2C access.

#include <memory>
#include <string>
#include <vector>

#include "capture/capture_device.h"

class V4l2Backend final : public CaptureBackend {
public:
  // `preferred` becomes capture mode 0 when the camera offers it. With
  // `onlyNode` ("video2") only that node of the folder is looked at.
  explicit V4l2Backend(CaptureMode preferred = {1280, 1024}, std::string deviceFolder = "/dev",
                       std::string onlyNode = {});

  std::vector<std::string> DeviceNames() override;
  std::unique_ptr<CaptureDevice> Open(const std::string& name) override;

private:
  struct Node {
    std::string path;
    std::string card;
  };
  std::vector<Node> CaptureNodes() const;

  CaptureMode preferred_;
  std::string deviceFolder_;
  std::string onlyNode_;
};
