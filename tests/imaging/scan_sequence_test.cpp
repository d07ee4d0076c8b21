#include "imaging/scan_sequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "capture/simulated_gauge.h"

namespace {

// The main window as the scan sequence sees it, recording what it is shown.
class RecordingHost : public PreviewHost {
public:
  void PreviewImage(const Bitmap&) override {
    ++previews;
    if (throwOnPreview) {
      throwOnPreview = false;
      throw std::runtime_error("display failed");
    }
  }
  void Capture(const Bitmap& image, int count) override {
    captures.push_back(count);
    captured = image;
    if (onCapture) onCapture();
  }
  void ResetAnalyseImg() override { ++resets; }
  void ClearResults() override { ++clears; }
  void SetKeyIndicator(bool pressed) override { keyIndicator = pressed; }
  void SetProgress(int percent) override {
    progress.push_back(percent);
    if (onProgress) onProgress(percent);
  }
  Bitmap& BrightnessImage() override { return brightness; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }

  int previews = 0;
  int resets = 0;
  int clears = 0;
  bool keyIndicator = false;
  bool throwOnPreview = false;
  std::vector<int> captures;
  std::vector<int> progress;
  std::vector<std::string> messages;
  std::function<void()> onCapture;
  std::function<void(int)> onProgress;
  Bitmap captured;
  Bitmap brightness;
};

class ScanSequenceTest : public testing::Test {
protected:
  ScanSequenceTest() : gauge(SimulatedSample{}, GaugeOptics{}), capture(loop, {&gauge}) {
    language.LoadText("MESSAGES\r\nNo video device!#Connect the gauge.\r\nNo control interfaces!\r\n");
    state.ImgCalibration.top = 300;
    state.ImgCalibration.Trapez = -0.3;
    state.ImgCalibration.Shutter = 10;
    state.ImgCalibration.Gain = 80;
    preview = std::make_unique<TFrmPreview>(loop, capture, host, state, language, [this] { return now; });
    preview->brstart = 1;
    preview->GKTH = 50;
  }

  // Runs events until `done` holds or nothing more happens.
  bool Pump(const std::function<bool()>& done, int limit = 500) {
    for (int i = 0; i < limit && !done(); ++i) {
      if (loop.ProcessPendingEvents() == 0) return done();
    }
    return done();
  }

  void StartLive() {
    preview->Refresh(state.ImgCalibration.Shutter - 3, 80, false, false);
    preview->VideoStatus = 1;
    ASSERT_TRUE(Pump([&] { return preview->VideoStatus == 2; }));
  }

  QueuedEventLoop loop;
  SimulatedGauge gauge;
  VideoCapture capture;
  RecordingHost host;
  MeasureState state;
  LanguageStore language;
  std::chrono::milliseconds now{0};
  std::unique_ptr<TFrmPreview> preview;
};

TEST_F(ScanSequenceTest, KeyPressTakesFourteenFramesAtIncreasingSteps) {
  StartLive();
  std::vector<int> stepsOfStoredFrames;
  host.onProgress = [&](int percent) {
    if (percent < 100 || stepsOfStoredFrames.size() < 14) stepsOfStoredFrames.push_back(gauge.Settings().shutter);
  };
  host.onCapture = [&] { loop.Post([&] { gauge.PressKey(false); }); };
  gauge.PressKey(true);
  ASSERT_TRUE(Pump([&] { return preview->VideoStatus == 4; }));

  std::vector<int> expectedSteps;
  for (int i = 1; i <= 14; ++i) expectedSteps.push_back(i);
  EXPECT_EQ(stepsOfStoredFrames, expectedSteps);
  EXPECT_EQ(host.progress,
            (std::vector<int>{7, 14, 21, 28, 35, 42, 50, 57, 64, 71, 78, 85, 92, 100, 100}));
  ASSERT_EQ(host.captures, std::vector<int>{14});
  EXPECT_EQ(preview->bmpcount, 14);
  // The combined image carries the profile line in its last row.
  EXPECT_EQ(host.captured.Width(), 1280);
  EXPECT_GT(state.MyLine[640], state.MyLine[100]);
  EXPECT_NEAR(state.MyLine[100], 300, 2);
}

TEST_F(ScanSequenceTest, HeldKeyKeepsTheLastScanStateUntilRelease) {
  StartLive();
  std::vector<int> statesWhileHeld;
  int waits = 0;
  std::function<void()> watch = [&] {
    statesWhileHeld.push_back(preview->VideoStatus);
    if (++waits < 5) {
      loop.Post(watch);
    } else {
      gauge.PressKey(false);
    }
  };
  host.onCapture = [&] { loop.Post(watch); };
  gauge.PressKey(true);
  ASSERT_TRUE(Pump([&] { return preview->VideoStatus == 4; }));
  EXPECT_EQ(statesWhileHeld, (std::vector<int>{5, 5, 5, 5, 5}));
  // The result stays (state 4) while the key is up; the next press clears it.
  for (int i = 0; i < 20; ++i) loop.ProcessPendingEvents();
  EXPECT_EQ(preview->VideoStatus, 4);
  EXPECT_EQ(host.clears, 0);
  gauge.PressKey(true);
  ASSERT_TRUE(Pump([&] { return preview->VideoStatus == 3; }));
  EXPECT_EQ(host.clears, 1);
  EXPECT_EQ(host.resets, 1);
  EXPECT_EQ(gauge.Settings().shutter, state.ImgCalibration.Shutter - 3);  // back to the live step
  gauge.PressKey(false);
  ASSERT_TRUE(Pump([&] { return preview->VideoStatus == 2; }));
  EXPECT_FALSE(host.keyIndicator);
  EXPECT_EQ(host.captures.size(), 1u);  // no new scan without a new press
}

TEST_F(ScanSequenceTest, APressFromStateThreeOnStartsNothing) {
  for (int state3OrLater : {3, 4, 5, 17, 32}) {
    preview->VideoStatus = state3OrLater;
    preview->bmpcount = 7;
    preview->StartCapture(0, 14, 80);
    EXPECT_EQ(preview->VideoStatus, state3OrLater);
    EXPECT_EQ(preview->bmpcount, 7);
    EXPECT_EQ(preview->brstart, 1);
  }
  preview->VideoStatus = 2;
  preview->StartCapture(0, 20, 80);  // at most 14 frames
  EXPECT_EQ(preview->VideoStatus, 32);
  EXPECT_EQ(preview->GKTH, 80);
}

TEST_F(ScanSequenceTest, RefreshWithoutCameraWaitsTheFullTimeOut) {
  gauge.Unplug();
  preview->Refresh(7, 80, false, false);
  EXPECT_EQ(host.messages, std::vector<std::string>{"No video device!\nConnect the gauge."});
  EXPECT_EQ(preview->CheckKey(), -1);  // counts as pressed
  int checks = 0;
  TFrmPreview waiting(loop, capture, host, state, language, [&] {
    ++checks;
    return std::chrono::milliseconds(checks * 10);
  });
  waiting.WaitKeyRelease(1000);
  EXPECT_GE(checks * 10, 1000 + 10);  // the clock passed the time-out
  waiting.WaitKeyRelease(-5);         // a negative time-out ends at once
}

TEST_F(ScanSequenceTest, CloseRequestEndsTheWait) {
  gauge.Unplug();
  preview->Refresh(7, 80, false, false);
  loop.Post([&] { preview->RequestClose(); });
  preview->WaitKeyRelease(1'000'000);  // would spin for ever without the close
  EXPECT_FALSE(capture.Previewing());
}

// A close request ends the wait it arrived in and no later one: the next scan
// with the key held keeps its result instead of clearing it at once.
TEST_F(ScanSequenceTest, CloseRequestEndsOnlyItsOwnWait) {
  StartLive();
  gauge.PressKey(true);
  loop.Post([&] { preview->RequestClose(); });
  preview->WaitKeyRelease(1'000'000);
  EXPECT_FALSE(capture.Previewing());
  gauge.PressKey(false);
  preview->RequestClose();  // outside any wait: nothing to end

  StartLive();
  std::vector<int> statesWhileHeld;
  std::function<void()> watch = [&] {
    statesWhileHeld.push_back(preview->VideoStatus);
    if (statesWhileHeld.size() < 4) {
      loop.Post(watch);
    } else {
      gauge.PressKey(false);
    }
  };
  host.onCapture = [&] { loop.Post(watch); };
  gauge.PressKey(true);
  ASSERT_TRUE(Pump([&] { return preview->VideoStatus == 4; }));
  EXPECT_EQ(statesWhileHeld, (std::vector<int>{5, 5, 5, 5}));
  for (int i = 0; i < 10; ++i) loop.ProcessPendingEvents();
  EXPECT_EQ(host.clears, 0);
  EXPECT_EQ(preview->VideoStatus, 4);
}

// The refresh command run while the key is still held after a scan restarts
// the live picture: the end of the scan does not count its state down to 0.
TEST_F(ScanSequenceTest, RefreshDuringTheHoldAfterAScanKeepsTheLivePicture) {
  StartLive();
  host.onCapture = [&] {
    loop.Post([&] {
      gauge.PressKey(false);
      preview->Refresh(state.ImgCalibration.Shutter - 3, 80, false, false);
      preview->WaitKeyRelease(1000);
      preview->VideoStatus = 1;
    });
  };
  gauge.PressKey(true);
  ASSERT_TRUE(Pump([&] { return host.captures.size() == 1 && preview->VideoStatus <= 2; }));
  host.onCapture = nullptr;
  ASSERT_TRUE(Pump([&] { return preview->VideoStatus == 2; }));
  const int previews = host.previews;
  for (int i = 0; i < 10; ++i) loop.ProcessPendingEvents();
  EXPECT_GT(host.previews, previews + 3);  // the live picture runs on
  EXPECT_EQ(preview->VideoStatus, 2);
}

TEST_F(ScanSequenceTest, LossDuringAScanStopsItAndRefreshFindsTheGaugeAgain) {
  StartLive();
  host.onProgress = [&](int percent) {
    if (percent == 50) gauge.Unplug();
  };
  gauge.PressKey(true);
  Pump([&] { return false; });
  EXPECT_EQ(preview->VideoStatus, 0);
  EXPECT_EQ(preview->DriverStatus, 0);
  EXPECT_EQ(preview->camera, "");
  EXPECT_EQ(host.messages, std::vector<std::string>{"No video device!\nConnect the gauge."});
  EXPECT_TRUE(host.captures.empty());
  EXPECT_EQ(loop.ProcessPendingEvents(), 0);  // the chain has stopped

  host.onProgress = nullptr;
  gauge.PressKey(false);
  gauge.PlugIn();
  StartLive();
  EXPECT_EQ(preview->DriverStatus, 2);
  EXPECT_EQ(preview->camera, kSimulatedGaugeName);
}

TEST_F(ScanSequenceTest, ExceptionInTheHandlerStopsTheChainUntilRefresh) {
  StartLive();
  host.throwOnPreview = true;
  Pump([&] { return false; });
  const int previews = host.previews;
  EXPECT_EQ(loop.ProcessPendingEvents(), 0);
  EXPECT_EQ(host.previews, previews);
  StartLive();
  Pump([&] { return host.previews > previews + 3; });
  EXPECT_GT(host.previews, previews + 3);
}

TEST_F(ScanSequenceTest, StateZeroStopsTheLivePicture) {
  StartLive();
  preview->VideoStatus = 0;  // what loading an image file does
  Pump([&] { return false; });
  const int previews = host.previews;
  EXPECT_EQ(loop.ProcessPendingEvents(), 0);
  EXPECT_EQ(host.previews, previews);
}

TEST_F(ScanSequenceTest, SettingsNeedTheCmosInterface) {
  SimulatedGaugeOptions options;
  options.cmosInterface = false;
  SimulatedGauge plain(SimulatedSample{}, GaugeOptics{}, options);
  VideoCapture plainCapture(loop, {&plain});
  TFrmPreview plainPreview(loop, plainCapture, host, state, language);
  plainPreview.Refresh(3, 120, true, true);
  EXPECT_EQ(plainPreview.DriverStatus, 2);  // the common interface is there
  plainPreview.SetShutterSpeed(12, 200, true, true);
  plainPreview.SetGain(300);
  EXPECT_EQ(plain.Settings().gain, CameraSettings{}.gain);
  EXPECT_EQ(plain.Settings().shutter, CameraSettings{}.shutter);

  SimulatedGaugeOptions none;
  none.cmosInterface = false;
  none.commonInterface = false;
  SimulatedGauge bare(SimulatedSample{}, GaugeOptics{}, none);
  VideoCapture bareCapture(loop, {&bare});
  TFrmPreview barePreview(loop, bareCapture, host, state, language);
  host.messages.clear();
  barePreview.Refresh(3, 120, false, false);
  EXPECT_EQ(barePreview.DriverStatus, 1);
  EXPECT_EQ(host.messages, std::vector<std::string>{"No control interfaces!"});
  EXPECT_EQ(barePreview.CheckKey(), 0);  // no key without the common interface
  EXPECT_EQ(barePreview.ReadIC(4), 0);
  EXPECT_EQ(barePreview.WriteIC(4, 9), 0);
}

TEST_F(ScanSequenceTest, RegistersGoThroughTheCommonInterface) {
  EXPECT_EQ(preview->WriteIC(0x10, 0x1234), 0);  // no camera yet
  StartLive();
  EXPECT_EQ(preview->WriteIC(0x10, 0x1234), 1);
  EXPECT_EQ(preview->ReadIC(0x10), 0x1234);
}

TEST(MirrorFrame, TurnsRowsThreeOnwardUpsideDown) {
  Bitmap frame(4, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 4; ++x) frame.Pixel(x, y)[0] = static_cast<std::uint8_t>(y);
  Bitmap out;
  MirrorFrame(frame, out);
  std::vector<int> rows;
  for (int y = 0; y < 10; ++y) rows.push_back(out.Pixel(2, y)[0]);
  EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 9, 8, 7, 6, 5, 4, 3}));
}

}  // namespace
