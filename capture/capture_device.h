#pragma once

// What a capture device offers the capture component: its picture formats,
// a stream that hands over one frame per request, and the camera maker's
// control interfaces where the device has them.

#include <memory>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "capture/videology.h"

struct CaptureMode {
  int width = 0;
  int height = 0;
};

// Receives what a running device produces. Called from whatever thread the
// device runs on; never after the device's Stop has returned.
class FrameSink {
public:
  virtual ~FrameSink() = default;
  virtual void FrameGrabbed(Bitmap frame) = 0;
  virtual void DeviceLost() = 0;
};

class CaptureDevice {
public:
  virtual ~CaptureDevice() = default;

  virtual std::vector<CaptureMode> Modes() = 0;

  // Starts streaming in mode `modeIndex`, asking for `framesPerSecond`
  // (0: the device's own rate). False when the device refuses or is gone.
  virtual bool Start(int modeIndex, double framesPerSecond, FrameSink& sink) = 0;

  // Stops streaming; a request not yet served is dropped.
  virtual void Stop() = 0;

  // Asks for one frame: the next the running device produces goes to the
  // sink. Requests made before that frame is handed over add nothing.
  virtual void RequestFrame() = 0;

  // The control interfaces, or null where the device lacks one. They stay
  // valid as long as the device object.
  virtual IVideologyCommon* CommonInterface() = 0;
  virtual IVideologyCMOS* CmosInterface() = 0;
};

// A family of devices (the simulated gauge, V4L2 cameras).
class CaptureBackend {
public:
  virtual ~CaptureBackend() = default;
  // Friendly names of the devices present now.
  virtual std::vector<std::string> DeviceNames() = 0;
  // Opens the device of that name, or null when it is not present.
  virtual std::unique_ptr<CaptureDevice> Open(const std::string& name) = 0;
};
