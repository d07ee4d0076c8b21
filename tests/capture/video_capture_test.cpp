#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

#include "capture/simulated_gauge.h"
#include "capture/video_capture.h"
#include "platform/event_loop.h"

namespace {

using namespace std::chrono_literals;

GaugeOptics Noiseless() {
  GaugeOptics optics;
  optics.noise = 0;
  optics.shotNoise = 0;
  return optics;
}

// The event loop, the gauge and the component, connected as the camera
// window connects them.
struct Rig {
  explicit Rig(SimulatedGaugeOptions options = {}) : gauge({}, Noiseless(), options) {
    capture.OnBitmapGrabbed = [this](const Bitmap& frame) {
      frames.push_back(frame);
      threads.push_back(std::this_thread::get_id());
      if (onFrame) onFrame();
    };
    capture.OnDeviceLost = [this] { ++losses; };
  }

  bool Connect() {
    TGraphConfig config;
    capture.SaveGraph(config);
    config.VCapSource = config.ACapSource = kSimulatedGaugeName;
    config.WantBitmaps = true;
    config.WantPreview = true;
    capture.SetFrameRate(15);
    capture.SetUseFrameRate(true);
    capture.SetVCapMode(0);
    return capture.RestoreGraph(config);
  }

  // Asks for one frame and returns it.
  Bitmap Grab() {
    capture.CaptureFrame();
    loop.ProcessPendingEvents();
    return frames.empty() ? Bitmap{} : frames.back();
  }

  QueuedEventLoop loop;
  SimulatedGauge gauge;
  VideoCapture capture{loop, {&gauge}};
  std::vector<Bitmap> frames;
  std::vector<std::thread::id> threads;
  std::function<void()> onFrame;
  int losses = 0;
};

std::uint64_t Brightness(const Bitmap& frame) {
  return std::accumulate(frame.Data(), frame.Data() + frame.ByteCount(), std::uint64_t{0});
}

Bitmap Mirrored(const Bitmap& frame) {
  Bitmap out(frame.Width(), frame.Height());
  for (int y = 0; y < frame.Height(); ++y) {
    for (int x = 0; x < frame.Width(); ++x) {
      std::copy_n(frame.Pixel(frame.Width() - 1 - x, y), 3, out.Pixel(x, y));
    }
  }
  return out;
}

Bitmap Flipped(const Bitmap& frame) {
  Bitmap out(frame.Width(), frame.Height());
  for (int y = 0; y < frame.Height(); ++y) std::copy_n(frame.Row(frame.Height() - 1 - y), frame.RowBytes(), out.Row(y));
  return out;
}

TEST(VideoCapture, ListsTheSimulatedGaugeWhilePluggedIn) {
  Rig rig;
  EXPECT_EQ(rig.capture.GetVideoDevicesList(), (std::vector<std::string>{"Videology USB-C (simulated)"}));
  rig.gauge.Unplug();
  EXPECT_TRUE(rig.capture.GetVideoDevicesList().empty());
}

TEST(VideoCapture, DeliversOneFramePerRequestAndNoneWithout) {
  Rig rig;
  ASSERT_TRUE(rig.Connect());
  EXPECT_TRUE(rig.capture.Previewing());
  rig.loop.ProcessPendingEvents();
  EXPECT_TRUE(rig.frames.empty());

  rig.capture.CaptureFrame();
  rig.capture.CaptureFrame();  // merged with the one on its way
  rig.loop.ProcessPendingEvents();
  rig.loop.ProcessPendingEvents();
  ASSERT_EQ(rig.frames.size(), 1u);
  EXPECT_EQ(rig.frames[0].Width(), 1280);
  EXPECT_EQ(rig.frames[0].Height(), 1024);
  EXPECT_EQ(rig.threads[0], std::this_thread::get_id());

  rig.capture.CaptureFrame();
  rig.loop.ProcessPendingEvents();
  EXPECT_EQ(rig.frames.size(), 2u);
}

TEST(VideoCapture, AHandlerThatRequestsTheNextFrameRunsAChainOneStepPerPass) {
  Rig rig;
  ASSERT_TRUE(rig.Connect());
  rig.onFrame = [&] {
    if (rig.frames.size() < 3) rig.capture.CaptureFrame();
  };
  rig.capture.CaptureFrame();
  for (int pass = 1; pass <= 5; ++pass) {
    rig.loop.ProcessPendingEvents();
    EXPECT_EQ(rig.frames.size(), static_cast<std::size_t>(std::min(pass, 3)));
  }
}

TEST(VideoCapture, AThrowingHandlerEndsSilentlyAndTheChainStops) {
  Rig rig;
  ASSERT_TRUE(rig.Connect());
  rig.onFrame = [&] { throw std::runtime_error("combination failed"); };
  rig.capture.CaptureFrame();
  EXPECT_NO_THROW(rig.loop.ProcessPendingEvents());
  EXPECT_EQ(rig.frames.size(), 1u);
  EXPECT_EQ(rig.loop.ProcessPendingEvents(), 0);
  rig.onFrame = nullptr;
  rig.capture.CaptureFrame();
  rig.loop.ProcessPendingEvents();
  EXPECT_EQ(rig.frames.size(), 2u);
}

TEST(VideoCapture, RealTimeFramesArriveOnTheProcessingThreadOncePerRequest) {
  Rig rig({.realTime = true});
  ASSERT_TRUE(rig.Connect());
  rig.capture.CaptureFrame();
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (rig.frames.empty() && std::chrono::steady_clock::now() < deadline) {
    rig.loop.WaitForEvents(100ms);
    rig.loop.ProcessPendingEvents();
  }
  ASSERT_EQ(rig.frames.size(), 1u);
  EXPECT_EQ(rig.threads[0], std::this_thread::get_id());
  // Three more frame periods bring nothing unasked.
  EXPECT_FALSE(rig.loop.WaitForEvents(200ms));
  EXPECT_EQ(rig.frames.size(), 1u);
}

TEST(VideoCapture, UnpluggingDuringARealTimeRequestReportsTheLossOnce) {
  Rig rig({.realTime = true});
  ASSERT_TRUE(rig.Connect());
  rig.capture.CaptureFrame();
  std::thread user([&] { rig.gauge.Unplug(); });
  user.join();
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (rig.losses == 0 && std::chrono::steady_clock::now() < deadline) {
    rig.loop.WaitForEvents(100ms);
    rig.loop.ProcessPendingEvents();
  }
  EXPECT_EQ(rig.losses, 1);
  EXPECT_FALSE(rig.capture.Previewing());
  const std::size_t frames = rig.frames.size();
  rig.capture.CaptureFrame();
  EXPECT_FALSE(rig.loop.WaitForEvents(200ms));
  EXPECT_EQ(rig.frames.size(), frames);
  EXPECT_EQ(rig.losses, 1);
}

TEST(VideoCapture, AFrameOfAStoppedStreamIsNotDelivered) {
  Rig rig;
  ASSERT_TRUE(rig.Connect());
  rig.capture.CaptureFrame();  // posted at once
  rig.capture.StopPreview();
  EXPECT_FALSE(rig.capture.Previewing());
  rig.loop.ProcessPendingEvents();
  EXPECT_TRUE(rig.frames.empty());
  // The request stays armed and is served by the restarted stream.
  ASSERT_TRUE(rig.capture.StartPreview());
  rig.loop.ProcessPendingEvents();
  EXPECT_EQ(rig.frames.size(), 1u);
}

TEST(VideoCapture, SettingsMadeBeforeARequestShapeTheNextFrame) {
  Rig rig;
  ASSERT_TRUE(rig.Connect());
  ASSERT_TRUE(rig.capture.InitMFilters(IID_VideologyCOM, CLSID_Videology24B13));
  IVideologyCMOS* cmos = rig.capture.CMOSFilter();
  ASSERT_NE(cmos, nullptr);

  ASSERT_GE(cmos->SetShutterSpeed(ssc1000), 0);
  const Bitmap shortExposure = rig.Grab();
  ASSERT_GE(cmos->SetShutterSpeed(ssc60), 0);
  const Bitmap longExposure = rig.Grab();
  EXPECT_GT(Brightness(longExposure), 2 * Brightness(shortExposure));

  ASSERT_GE(cmos->SetAGC(160), 0);
  EXPECT_GT(Brightness(rig.Grab()), Brightness(longExposure));
  ASSERT_GE(cmos->SetAGC(80), 0);

  ASSERT_GE(cmos->SetMirror(1), 0);
  EXPECT_TRUE(rig.Grab() == Mirrored(longExposure));
  ASSERT_GE(cmos->SetMirror(0), 0);
  ASSERT_GE(cmos->SetFlip(1), 0);
  EXPECT_TRUE(rig.Grab() == Flipped(longExposure));
  ASSERT_GE(cmos->SetFlip(0), 0);
  EXPECT_TRUE(rig.Grab() == longExposure);
}

TEST(VideoCapture, LossIsReportedAndALaterStartFindsTheGaugeAgain) {
  Rig rig;
  ASSERT_TRUE(rig.Connect());
  ASSERT_TRUE(rig.capture.InitMFilters(IID_VideologyCOM, CLSID_Videology24B13));
  rig.gauge.Unplug();
  rig.capture.CaptureFrame();
  rig.loop.ProcessPendingEvents();
  EXPECT_EQ(rig.losses, 1);
  EXPECT_TRUE(rig.frames.empty());
  EXPECT_FALSE(rig.capture.Previewing());
  EXPECT_EQ(rig.capture.COMFilter(), nullptr);
  EXPECT_EQ(rig.capture.CMOSFilter(), nullptr);
  EXPECT_FALSE(rig.capture.StartPreview());
  EXPECT_FALSE(rig.Connect());

  rig.gauge.PlugIn();
  ASSERT_EQ(rig.capture.GetVideoDevicesList().size(), 1u);
  ASSERT_TRUE(rig.Connect());
  EXPECT_TRUE(rig.capture.InitMFilters(IID_VideologyCOM, CLSID_Videology24B13));
  rig.Grab();
  EXPECT_EQ(rig.frames.size(), 1u);
  EXPECT_EQ(rig.losses, 1);
}

TEST(VideoCapture, ControlInterfacesAreObtainedByIdentifierAndMayBeMissing) {
  struct Case {
    SimulatedGaugeOptions options;
    bool common;
    bool cmos;
  };
  for (const Case& c : {Case{{}, true, true}, Case{{.cmosInterface = false}, true, false},
                        Case{{.commonInterface = false}, false, true},
                        Case{{.commonInterface = false, .cmosInterface = false}, false, false}}) {
    Rig rig(c.options);
    ASSERT_TRUE(rig.Connect());
    EXPECT_EQ(rig.capture.InitMFilters(IID_VideologyCOM, CLSID_Videology24B13), c.common || c.cmos);
    EXPECT_EQ(rig.capture.COMFilter() != nullptr, c.common);
    EXPECT_EQ(rig.capture.CMOSFilter() != nullptr, c.cmos);
    // Without the CMOS interface nothing changes the exposure: the live
    // picture keeps running at the camera's own settings.
    const Bitmap frame = rig.Grab();
    EXPECT_EQ(frame.Width(), 1280);
    EXPECT_EQ(rig.gauge.Settings().shutter, CameraSettings{}.shutter);
  }
  Rig rig;
  ASSERT_TRUE(rig.Connect());
  EXPECT_FALSE(rig.capture.InitMFilters(CLSID_Videology24B13, IID_VideologyCOM));
}

TEST(VideoCapture, TriggerKeyAndRegistersThroughTheCommonInterface) {
  Rig rig;
  ASSERT_TRUE(rig.Connect());
  ASSERT_TRUE(rig.capture.InitMFilters(IID_VideologyCOM, CLSID_Videology24B13));
  IVideologyCommon* common = rig.capture.COMFilter();
  std::int32_t key = -3;
  ASSERT_GE(common->GetSnapshotState(key), 0);
  EXPECT_EQ(key, 0);
  rig.gauge.PressKey(true);
  key = -3;
  ASSERT_GE(common->GetSnapshotState(key), 0);
  EXPECT_NE(key, 0);

  std::uint16_t value = 0;
  EXPECT_GE(common->WriteI2C(0, 0x20, 0xBEEF), 0);
  EXPECT_GE(common->ReadI2C(0, 0x20, value), 0);
  EXPECT_EQ(value, 0xBEEF);
  EXPECT_LT(common->ReadI2C(1, 0x20, value), 0);
  EXPECT_LT(common->WriteI2C(0, 0x1000, 1), 0);
  rig.gauge.Unplug();
  EXPECT_LT(common->ReadI2C(0, 0x20, value), 0);
  EXPECT_LT(common->GetSnapshotState(key), 0);
}

}  // namespace
