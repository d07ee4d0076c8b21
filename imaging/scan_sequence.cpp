#include "imaging/scan_sequence.h"

#include <algorithm>
#include <cstring>

#include "imaging/exposure_combination.h"
#include "imaging/frame_mean.h"
#include "imaging/pixel_ops.h"
#include "imaging/trapez.h"
#include "capture/videology.h"

namespace {

constexpr const char* kGaugeName = "Videology USB-C";

std::chrono::milliseconds SteadyNow() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace

// One wait for the key: its depth, and whether a close request arrived in it.
class TFrmPreview::WaitScope {
public:
  explicit WaitScope(TFrmPreview& preview) : preview_(preview), depth_(++preview.waitDepth_) {}
  ~WaitScope() {
    if (preview_.closeForWait_ >= depth_) preview_.closeForWait_ = 0;
    --preview_.waitDepth_;
  }
  WaitScope(const WaitScope&) = delete;
  WaitScope& operator=(const WaitScope&) = delete;
  bool CloseRequested() const { return preview_.closeForWait_ == depth_; }

private:
  TFrmPreview& preview_;
  int depth_;
};

TFrmPreview::TFrmPreview(EventLoop& loop, VideoCapture& capture, PreviewHost& host, MeasureState& state,
                         const LanguageStore& language, Clock clock)
    : loop_(loop), gCap(capture), host_(host), state_(state), language_(language), clock_(std::move(clock)) {
  FormCreate();
  gCap.OnBitmapGrabbed = [this](const Bitmap& frame) { gCapBitmapGrabbed(frame); };
  gCap.OnDeviceLost = [this] { gCapDeviceLost(); };
}

TFrmPreview::~TFrmPreview() {
  gCap.OnBitmapGrabbed = nullptr;
  gCap.OnDeviceLost = nullptr;
  FormCloseQuery();
  FormDestroy();
}

void TFrmPreview::FormCreate() {
  gCap.SaveGraph(graphConfig);
  camera.clear();
  MyDrvIndex = -1;
  MyRvIndex = -1;
  DriverStatus = 0;
  // The bitmaps of a scan are allocated once and reused by every scan.
  bmpcap.SetSize(kWidth, kHeight);
  bmpcap2.SetSize(kWidth, kHeight);
  for (Bitmap& frame : bmpscan) frame.SetSize(kWidth, kHeight);
  bmpcount = 0;
}

void TFrmPreview::FormDestroy() {
  bmpcap = Bitmap();
  bmpcap2 = Bitmap();
  for (Bitmap& frame : bmpscan) frame = Bitmap();
}

std::chrono::milliseconds TFrmPreview::Now() const { return clock_ ? clock_() : SteadyNow(); }

void TFrmPreview::FormCloseQuery() {
  if (gCap.Previewing()) gCap.StopPreview();
}

void TFrmPreview::Refresh(int shutter, int gain, bool Mirror, bool Flip) {
  gbCaptured = false;
  if (gCap.Previewing()) {
    gCap.StopPreview();
    gCap.SetWantPreview(false);
  }
  const std::vector<std::string> devices = gCap.GetVideoDevicesList();
  if (devices.empty()) {
    host_.ShowMessage(language_.GetMessageString(1));
    return;
  }
  auto found = std::find_if(devices.begin(), devices.end(),
                            [](const std::string& name) { return name.find(kGaugeName) != std::string::npos; });
  if (found == devices.end()) return;
  camera = *found;
  gCap.SetFrameRate(15);
  gCap.SetUseFrameRate(true);
  const int r = InitCam(static_cast<int>(found - devices.begin()), camera, 0, shutter, gain, Mirror, Flip);
  if (r == 1) host_.ShowMessage(language_.GetMessageString(2));
  VideoStatus = 1;
  gCap.StartPreview();
  gCap.CaptureFrame();
  SetShutterSpeed(shutter, gain, Mirror, Flip);
  gCap.StartPreview();
  gCap.CaptureFrame();
  gbCaptured = false;
}

int TFrmPreview::InitCam(int drvIndex, const std::string& s, int RVIndex, int /*Shutter*/, int /*gain*/,
                         bool /*Mirror*/, bool /*Flip*/) {
  DriverStatus = 0;
  MyDrvIndex = drvIndex;
  MyRvIndex = RVIndex;
  gCap.SaveGraph(graphConfig);
  graphConfig.VCapSource = s;
  graphConfig.ACapSource = s;
  graphConfig.WantAudio = false;
  graphConfig.WantAudioPreview = false;
  graphConfig.WantBitmaps = true;
  graphConfig.WantCapture = false;
  graphConfig.WantDVAudio = false;
  graphConfig.WantPreview = true;
  gCap.SetVCapMode(RVIndex);
  gCap.RestoreGraph(graphConfig);
  if (s.find(kGaugeName) != std::string::npos) {
    DriverStatus = 1;
    if (gCap.InitMFilters(IID_VideologyCOM, CLSID_Videology24B13)) DriverStatus = 2;
    gCap.CaptureFrame();
    VideoStatus = 0;
  }
  return DriverStatus;
}

void TFrmPreview::StartCapture(int start, int count, int th) {
  if (VideoStatus >= 3) return;  // a scan or a result is in progress
  count = std::clamp(count, 0, kScanFrames);
  VideoStatus = 2 * count + 4;
  bmpcount = 0;
  brstart = start;
  GKTH = th;
  if (count >= 2) {
    const TImgCalibration& cal = state_.ImgCalibration;
    SetShutterSpeed(start, cal.Gain, cal.Mirror, cal.Flip);
  }
}

void MirrorFrame(const Bitmap& frame, Bitmap& out) {
  if (out.Width() != frame.Width() || out.Height() != frame.Height()) out.SetSize(frame.Width(), frame.Height());
  const int height = frame.Height();
  const std::size_t rowBytes = frame.RowBytes();
  for (int y = 0; y < height; ++y) {
    const int source = y < 3 ? y : height + 2 - y;
    std::memcpy(out.Row(y), frame.Row(source), rowBytes);
  }
}

void TFrmPreview::TransferFrame(const Bitmap& frame) {
  MirrorFrame(frame, bmpcap);
  host_.PreviewImage(bmpcap);
}

void TFrmPreview::gCapBitmapGrabbed(const Bitmap& CapturedImage) {
  const TImgCalibration& cal = state_.ImgCalibration;
  switch (VideoStatus) {
    case 0:
      return;  // no new request: the chain stops
    case 1:
      gCap.CaptureFrame();
      VideoStatus = 2;
      return;
    case 2: {
      TransferFrame(CapturedImage);
      const bool pressed = CheckKey() != 0;
      if (pressed) StartCapture(brstart, kScanFrames, GKTH);
      host_.SetKeyIndicator(pressed);
      gCap.CaptureFrame();
      return;
    }
    case 3:
      gbCaptured = true;
      if (CheckKey() == 0) {
        host_.SetKeyIndicator(false);
        --VideoStatus;
      }
      gCap.CaptureFrame();
      return;
    case 4:
      if (CheckKey() != 0) {
        host_.SetKeyIndicator(true);
        SetShutterSpeed(cal.Shutter - 3, cal.Gain, cal.Mirror, cal.Flip);
        host_.ResetAnalyseImg();
        host_.ClearResults();
        --VideoStatus;
      } else {
        host_.SetKeyIndicator(false);
      }
      gCap.CaptureFrame();
      return;
    default:
      if (VideoStatus < 0) return;
      ScanStep(CapturedImage);
      gCap.CaptureFrame();
      // A command run during the wait at the end of a scan may have moved the
      // state to 4 or below (Refresh to 1, loading an image to 0); the
      // decrement then would stop the live picture, so it applies only to a
      // state the scan still owns.
      if (VideoStatus > 4) --VideoStatus;
      return;
  }
}

void TFrmPreview::ScanStep(const Bitmap& frame) {
  const TImgCalibration& cal = state_.ImgCalibration;
  const int s = VideoStatus;
  TransferFrame(frame);
  if (bmpcount < kScanFrames) {
    if ((s - 5) % 2 == 0) {
      bmpscan[bmpcount] = bmpcap;
      ++bmpcount;
      host_.SetProgress(bmpcount * 100 / kScanFrames);
    } else {
      SetShutterSpeed(brstart + bmpcount, cal.Gain, cal.Mirror, cal.Flip);
    }
  }
  if (s == 5) FinishScan();
}

void TFrmPreview::FinishScan() {
  const TImgCalibration& cal = state_.ImgCalibration;
  std::span<Bitmap> frames(bmpscan.data(), bmpcount);
  TrapezLinFrames(frames, cal.top, cal.Trapez);
  int r = Kombinieren(bmpcap, host_.BrightnessImage(), frames, 0, bmpcount, GKTH, GKTH, state_.MyLine);
  r = std::max(r, 1);
  r = std::min(r, bmpcount - 4);
  // The frame mean is defined for five frames or more; shorter scans average
  // what they have instead of reading before the first frame.
  const int first = std::clamp(r - 1, 0, std::max(bmpcount - 1, 0));
  const int last = std::clamp(bmpcount - 3, first + 1, std::max(bmpcount, 1));
  Mitteln(bmpcap2, frames, first, last);
  ImgChW(bmpcap2, bmpcap, 0, 2, 0.9);
  host_.Capture(bmpcap, bmpcount);
  host_.SetProgress(100);
  const WaitScope wait(*this);
  while (CheckKey() != 0 && VideoStatus > 4 && !wait.CloseRequested()) {
    loop_.WaitForEvents(std::chrono::milliseconds(1));
    loop_.ProcessPendingEvents();
  }
}

void TFrmPreview::gCapDeviceLost() {
  if (gCap.Previewing()) {
    gCap.StopPreview();
    gCap.SetWantPreview(false);
  }
  camera.clear();
  MyDrvIndex = -1;
  MyRvIndex = -1;
  DriverStatus = 0;
  VideoStatus = 0;
  host_.ShowMessage(language_.GetMessageString(1));
}

int TFrmPreview::CheckKey() {
  if (!CameraReady()) return -1;
  IVideologyCommon* common = gCap.COMFilter();
  // A camera without the common interface has no key to press.
  if (common == nullptr) return 0;
  std::int32_t abtn = -3;
  if (common->GetSnapshotState(abtn) >= 0) return abtn;
  return -2;
}

void TFrmPreview::WaitKeyRelease(int TimeOut) {
  const std::chrono::milliseconds start = Now();
  const WaitScope wait(*this);
  while (Now() - start < std::chrono::milliseconds(TimeOut) && CheckKey() != 0) {
    loop_.WaitForEvents(std::chrono::milliseconds(1));
    loop_.ProcessPendingEvents();
    if (wait.CloseRequested()) {
      FormCloseQuery();
      return;
    }
  }
}

void TFrmPreview::SetShutterSpeed(int shutter, int gain, bool Mirror, bool Flip) {
  IVideologyCMOS* cmos = gCap.CMOSFilter();
  if (!CameraReady() || cmos == nullptr) return;
  cmos->SetAGC(static_cast<std::uint32_t>(gain));
  cmos->SetShutterSpeed(static_cast<eShutterSpeedCMOS>(shutter & 0xFF));
  cmos->SetMirror(Mirror ? 1 : 0);
  cmos->SetFlip(Flip ? 1 : 0);
}

void TFrmPreview::SetGain(int gain) {
  IVideologyCMOS* cmos = gCap.CMOSFilter();
  if (!CameraReady() || cmos == nullptr) return;
  cmos->SetAGC(static_cast<std::uint32_t>(gain));
}

int TFrmPreview::ReadIC(int addr) {
  IVideologyCommon* common = gCap.COMFilter();
  if (!CameraReady() || common == nullptr) return 0;
  std::uint16_t value = 0;
  if (common->ReadI2C(0, addr, value) < 0) return 0;
  return value;
}

int TFrmPreview::WriteIC(int addr, int val) {
  IVideologyCommon* common = gCap.COMFilter();
  if (!CameraReady() || common == nullptr) return 0;
  return common->WriteI2C(0, addr, static_cast<std::uint16_t>(val)) >= 0 ? 1 : 0;
}
