#pragma once

// The camera window without a window: finds and starts the gauge's camera,
// applies its exposure settings and runs the frame-by-frame state machine
// that shows the live picture, watches the trigger key, takes a series of 14
// frames at increasing shutter steps, combines them and hands the result to
// the main window.
//
// Every member runs on the thread that processes the event loop. Each frame
// handler asks for the next frame as its last act, so exactly one frame is
// in flight and the chain stops when a handler does not ask.

#include <array>
#include <chrono>
#include <functional>
#include <string>

#include "base/bitmap.h"
#include "capture/video_capture.h"
#include "measure/records.h"
#include "platform/event_loop.h"
#include "platform/language.h"

// What the scan sequence needs of the main window.
class PreviewHost {
public:
  virtual ~PreviewHost() = default;
  // Shows a live frame (already mirrored top to bottom).
  virtual void PreviewImage(const Bitmap& frame) = 0;
  // Receives the combined image of a finished scan of `count` frames; the
  // profile line is in the measurement state's MyLine.
  virtual void Capture(const Bitmap& image, int count) = 0;
  virtual void ResetAnalyseImg() = 0;
  virtual void ClearResults() = 0;
  // The key indicator: marked while the trigger key is pressed, repainted at once.
  virtual void SetKeyIndicator(bool pressed) = 0;
  // The scan progress gauge, 0..100.
  virtual void SetProgress(int percent) = 0;
  // The brightness map the combination writes (brBild).
  virtual Bitmap& BrightnessImage() = 0;
  // Shows a message of the language's message section (1: no video device,
  // 2: camera without its control interfaces).
  virtual void ShowMessage(const std::string& text) = 0;
};

// The camera delivers its picture upside down: `out` becomes the frame with
// rows 3..H-1 taken from the frame rows H-1..3 and rows 0..2 kept.
void MirrorFrame(const Bitmap& frame, Bitmap& out);

class TFrmPreview {
public:
  static constexpr int kScanFrames = 14;
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 1024;

  using Clock = std::function<std::chrono::milliseconds()>;

  // `state` gives the calibration (top, Trapez, gain, mirror, flip, the live
  // shutter) and receives the profile line of a scan; `language` gives the
  // messages. `clock` measures the waits; the steady clock unless a test
  // gives its own.
  TFrmPreview(EventLoop& loop, VideoCapture& capture, PreviewHost& host, MeasureState& state,
              const LanguageStore& language, Clock clock = {});
  ~TFrmPreview();

  // Creation: no camera yet, the 16 bitmaps of a scan allocated once.
  void FormCreate();
  // Releases the bitmaps.
  void FormDestroy();
  // Stops the preview; closing is always allowed.
  void FormCloseQuery();
  void Refresh(int shutter, int gain, bool Mirror, bool Flip);
  int InitCam(int drvIndex, const std::string& s, int RVIndex, int Shutter, int gain, bool Mirror, bool Flip);
  void StartCapture(int start, int count, int th);
  void gCapBitmapGrabbed(const Bitmap& CapturedImage);
  void gCapDeviceLost();
  int CheckKey();
  void WaitKeyRelease(int TimeOut);
  void SetShutterSpeed(int shutter, int gain, bool Mirror, bool Flip);
  void SetGain(int gain);
  int ReadIC(int addr);
  int WriteIC(int addr, int val);

  // What a quit or close message does while the sequence waits for the key:
  // the wait it arrives in ends (WaitKeyRelease also closes the camera
  // window: its preview stops). It ends only that wait: a request outside any
  // wait, or one for a wait that has ended, does not cut a later wait short.
  void RequestClose() { closeForWait_ = waitDepth_; }

  std::string camera;
  int DriverStatus = 0;
  int VideoStatus = 0;
  int bmpcount = 0;
  int brstart = 0;
  int GKTH = 0;
  bool gbCaptured = false;
  int MyDrvIndex = -1;
  int MyRvIndex = -1;

  const Bitmap& CurrentFrame() const { return bmpcap; }
  const Bitmap& ScanFrame(int i) const { return bmpscan[i]; }

private:
  void TransferFrame(const Bitmap& frame);
  void ScanStep(const Bitmap& frame);
  void FinishScan();
  bool CameraReady() const { return MyDrvIndex >= 0 && MyRvIndex >= 0; }
  std::chrono::milliseconds Now() const;

  EventLoop& loop_;
  VideoCapture& gCap;
  PreviewHost& host_;
  MeasureState& state_;
  const LanguageStore& language_;
  Clock clock_;
  TGraphConfig graphConfig;
  Bitmap bmpcap;
  Bitmap bmpcap2;
  std::array<Bitmap, kScanFrames> bmpscan;
  // Waits for the key nest (a command run inside one wait may start
  // another); a close request belongs to the innermost wait running.
  int waitDepth_ = 0;
  int closeForWait_ = 0;  // the depth of the wait a close arrived in, 0 for none
  class WaitScope;
};
