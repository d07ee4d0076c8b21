#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "measure/calibration_file.h"
#include "platform/profile_file.h"
#include "station/surface_reference.h"
#include "station_fixture.h"

namespace {

// A camera frame of the flat reference: a band of five rows of blue 200
// centred on the row m x + c of every column.
Bitmap ReferenceFrame(double m, double c) {
  Bitmap frame(1280, 1024);
  for (int x = 0; x < 1280; ++x) {
    const int centre = static_cast<int>(std::lround(m * x + c));
    for (int y = centre - 2; y <= centre + 2; ++y) {
      if (frame.Contains(x, y)) frame.Pixel(x, y)[0] = 200;
    }
  }
  return frame;
}

bool IsRed(const Bitmap& bitmap, int x, int y) {
  const std::uint8_t* p = bitmap.Pixel(x, y);
  return p[0] == 0 && p[1] == 0 && p[2] == 255;
}

TEST(SurfaceReference, FlatSampleGivesRowBrightnessAndLevel) {
  Bitmap frame = ReferenceFrame(0, 230);
  Extended m = 5, c = 5;
  const SurfaceReference found = MeasureSurfaceReference(frame, m, c);
  EXPECT_EQ(found.top, 230);
  EXPECT_EQ(found.brightness, 25);  // 5 rows of 200 in the 40 rows of the rectangle
  EXPECT_NEAR(found.angle, 0, 1e-9);
  // The fitted line is drawn with a round pen 8 pixels wide: rows 226..234.
  for (int x : {0, 640, 1279}) {
    EXPECT_TRUE(IsRed(frame, x, 226) && IsRed(frame, x, 234)) << x;
    EXPECT_FALSE(IsRed(frame, x, 225) || IsRed(frame, x, 235)) << x;
  }
}

TEST(SurfaceReference, TiltedSampleGivesItsOrientation) {
  const double slope = std::tan(-1.2 * std::numbers::pi / 180);
  Bitmap frame = ReferenceFrame(slope, 230 - slope * 640);
  Extended m = 0, c = 0;
  const SurfaceReference found = MeasureSurfaceReference(frame, m, c);
  EXPECT_NEAR(found.top, 230, 1);
  EXPECT_NEAR(found.angle, -1.2, 0.02);
  EXPECT_TRUE(IsRed(frame, 1279, static_cast<int>(std::lround(slope * 1279 + 230 - slope * 640))));
}

TEST(SurfaceReference, ToleranceBoundaries) {
  const TCalRef reference{200, 120, 3.0, 2.1};
  struct Case {
    int top;
    int brightness;
    double angle;
    bool green;
  } cases[] = {
      {230, 125, -1.2, true}, {230, 125, 1.5, false}, {230, 125, -1.5, false}, {230, 125, 1.49, true},
      {249, 120, 0, true},    {250, 120, 0, false},   {151, 120, 0, true},     {150, 120, 0, false},
      {200, 139, 0, true},    {200, 140, 0, false},   {200, 101, 0, true},     {200, 100, 0, false},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(SurfaceInTolerance(reference, {k.top, k.brightness, k.angle}), k.green)
        << k.top << " " << k.brightness << " " << k.angle;
  }
}

TEST(CalibrationTolerance, DepthWithin0008AndWidthWithin001) {
  const TCalRef reference{200, 120, 3.0, 2.1};
  struct Case {
    double width;
    double depth;
    bool green;
  } cases[] = {
      {3.0099, 2.1079, true}, {2.9901, 2.0921, true}, {3.0, 2.108, false}, {3.0, 2.092, false},
      {3.01, 2.1, false},     {2.99, 2.1, false},     {3.0, 2.1, true},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(DimensionsInTolerance(reference, k.width, k.depth), k.green) << k.width << " " << k.depth;
  }
}

TEST_F(StationTest, MaxFindsTheReferenceAndStartsANewAverage) {
  WriteSetup("[VELDRAQXCALSETUP]\r\nCALTOP=200\r\nCALB=25\r\nCOUNTH=2\r\n");
  station.InitCalRef(0);
  station.CalcPPI(425, 300);  // a capture of an average now abandoned
  state.ImgCalibration.LUTX = {0, 14, 28, 42, 56, 2.1};
  station.controls.PPIRes = "3600";
  const Bitmap frame = ReferenceFrame(0, 230);
  station.MaxBtnClick(frame);
  const CalibrationControls& c = station.controls;
  EXPECT_EQ(state.ImgCalibration.top, 230);
  EXPECT_EQ(state.SampleRep.ImgBr, 230);
  EXPECT_EQ(state.SampleRep.ActBr, 25);
  EXPECT_EQ(c.SampleTop, "230");
  EXPECT_EQ(c.BRLabel2, "25");
  EXPECT_EQ(c.HorizLabel, "0.0\u00b0");
  EXPECT_EQ(c.BRTolShape, Indicator::Green);
  EXPECT_EQ(c.DimShape, Indicator::White);
  EXPECT_EQ(c.PPIRes, "");
  EXPECT_EQ(station.CountH(), 0);
  EXPECT_EQ(state.ImgCalibration.LUTX[1], 0);
  EXPECT_TRUE(IsRed(pictures.ImgBrightness, 640, 230));
  EXPECT_FALSE(IsRed(frame, 640, 230));

  // The default brightness reference of 3000 can never be met.
  WriteSetup(kPlainSetup);
  station.InitCalRef(0);
  station.MaxBtnClick(frame);
  EXPECT_EQ(station.controls.BRTolShape, Indicator::Red);
}

TEST_F(StationTest, SurfaceRowIsNeverAbove20) {
  // A dark frame leaves the fitted line as it was: here row 12.
  state.ImgCalibration.m = 0;
  state.ImgCalibration.c = 12;
  station.FindMaxPos(Bitmap(1280, 1024));
  EXPECT_EQ(state.ImgCalibration.top, 20);
  EXPECT_EQ(station.controls.SampleTop, "20");
}

TEST_F(StationTest, CountHCapturesAreAveragedIntoTheScale) {
  WriteSetup("[VELDRAQXCALSETUP]\r\nCOUNTH=3\r\n");
  station.InitCalRef(0);
  const double widths[] = {425.0, 425.2, 425.4};
  const double depths[] = {298.5, 300.0, 301.5};
  const char* labels[] = {"1/3", "2/3", "3/3"};
  for (int i = 0; i < 3; ++i) {
    station.CalcPPI(widths[i], depths[i]);
    EXPECT_EQ(station.controls.CountHLabel, labels[i]);
  }
  EXPECT_EQ(panel.sounds, (std::vector<std::string>{"OK", "OK", "tada"}));
  const TImgCalibration& cal = state.ImgCalibration;
  EXPECT_DOUBLE_EQ(cal.PixelPerInch, 25.4 * 425.2 / 3.0);
  EXPECT_EQ(station.controls.PPIRes, "3600");
  EXPECT_NEAR(cal.ZFaktor, 2.1 / (300.0 * 25.4 / cal.PixelPerInch), 1e-12);
  EXPECT_EQ(station.controls.ZFactorRes, "0.992");
  EXPECT_EQ(station.controls.BWidth, "3.000");
  EXPECT_EQ(station.controls.BHeight, "2.100");
  EXPECT_NEAR(state.SampleRep.width, 3.0, 1e-12);
  EXPECT_NEAR(state.SampleRep.depth, 2.1, 1e-12);
  EXPECT_EQ(station.controls.DimShape, Indicator::Green);
  EXPECT_EQ(station.CountH(), 0);

  // The next capture starts a new average.
  station.CalcPPI(400, 250);
  EXPECT_EQ(station.controls.CountHLabel, "1/3");
  EXPECT_EQ(station.controls.DimShape, Indicator::White);
}

TEST_F(StationTest, EmptyReferenceEditsFallBackToTheSetupFile) {
  WriteSetup("[VELDRAQXCALSETUP]\r\nCALW=2000\r\n");
  station.InitCalRef(0);
  station.controls.CALWEdit = "";
  station.controls.CalHEdit = "x";
  station.CalcPPI(300, 250);
  EXPECT_DOUBLE_EQ(station.CalRef().CALW, 2.0);
  EXPECT_DOUBLE_EQ(station.CalRef().CALD, 2.0);  // CALD missing: 2000 here, not 2100
  EXPECT_DOUBLE_EQ(state.ImgCalibration.PixelPerInch, 25.4 * 300 / 2.0);
}

TEST_F(StationTest, LinearisedDepthOutOfToleranceIsRedButKept) {
  station.InitCalRef(0);
  // A table that adds 2 pixels at the depth of the channel.
  state.ImgCalibration.LUTX = {0, 100, 200, 300, 400, 0};
  state.ImgCalibration.LUTY = {2, 2, 2, 2, 2, 2};
  station.CalcPPI(425.2, 297.5);
  EXPECT_EQ(station.controls.DimShape, Indicator::Red);
  EXPECT_EQ(panel.sounds.back(), "FAIL");
  EXPECT_DOUBLE_EQ(state.ImgCalibration.PixelPerInch, 25.4 * 425.2 / 3.0);
}

TEST_F(StationTest, CaptureWithoutChannelLeavesTheCalibrationUnchanged) {
  struct Case {
    double width;
    double depth;
    const char* setup;
    const char* widthEdit;
    const char* depthEdit;
    const char* label;
  } cases[] = {
      {0, 300, kPlainSetup, "3.000", "2.100", "1/1 no channel width"},
      {425, 0, kPlainSetup, "3.000", "2.100", "1/1 no channel depth"},
      {425, -1, kPlainSetup, "3.000", "2.100", "1/1 no channel depth"},
      {425, 300, kPlainSetup, "-3", "2.100", "1/1 no reference width"},
      {425, 300, kPlainSetup, "3.000", "-2,1", "1/1 no reference depth"},
      {1e10, 300, kPlainSetup, "1e-300", "2.100", "1/1 no scale"},
  };
  for (const Case& k : cases) {
    WriteSetup(k.setup);
    station.InitCalRef(0);
    station.controls.CALWEdit = k.widthEdit;
    station.controls.CalHEdit = k.depthEdit;
    const TImgCalibration before = state.ImgCalibration;
    const TImgCalReport sampleBefore = state.SampleRep;
    const TCalRef referenceBefore = station.CalRef();
    panel.sounds.clear();
    station.CalcPPI(k.width, k.depth);
    EXPECT_EQ(station.controls.DimShape, Indicator::Red) << k.label;
    EXPECT_EQ(panel.sounds, std::vector<std::string>{"FAIL"});
    EXPECT_EQ(station.controls.CountHLabel, k.label);
    EXPECT_EQ(state.ImgCalibration.PixelPerInch, before.PixelPerInch);
    EXPECT_EQ(state.ImgCalibration.ZFaktor, before.ZFaktor);
    EXPECT_EQ(state.SampleRep.depth, sampleBefore.depth);
    EXPECT_EQ(station.CalRef().CALW, referenceBefore.CALW);
    EXPECT_EQ(station.CountH(), 0);
  }
}

TEST_F(StationTest, CaptureTakesTheWidthAtTheConfiguredLevel) {
  state.MyChannel.plt = {100, 200};
  state.MyChannel.prt = {500, 200};
  state.MyChannel.pl10 = {110, 210};
  state.MyChannel.pr10 = {490, 210};
  state.MyChannel.pl20 = {120, 220};
  state.MyChannel.pr20 = {480, 223};
  state.MyChannel.pl50 = {150, 250};
  state.MyChannel.pr50 = {450, 250};
  state.MyChannel.depth = 300;
  struct Case {
    const char* level;
    double width;
  } cases[] = {{"0", 400}, {"1", 380}, {"3", 300}, {"2", std::hypot(360.0, 3.0)}};
  Bitmap picture(4, 4);
  picture.Fill(1, 2, 3);
  for (const Case& k : cases) {
    WriteSetup(std::string("[VELDRAQXCALSETUP]\r\nLEVEL=") + k.level + "\r\n");
    station.InitCalRef(0);
    station.Capture(picture, CalibratePage::Calibrate);
    EXPECT_DOUBLE_EQ(state.ImgCalibration.PixelPerInch, 25.4 * k.width / 3.0) << "LEVEL " << k.level;
  }
  EXPECT_EQ(pictures.ImgChannel, picture);
  // On the report page a capture changes nothing.
  state.MyChannel.prt = {900, 200};
  WriteSetup(kPlainSetup);
  station.Capture(picture, CalibratePage::Report);
  EXPECT_DOUBLE_EQ(state.ImgCalibration.PixelPerInch, 25.4 * std::hypot(360.0, 3.0) / 3.0);
}

TEST_F(StationTest, RefreshStartsAFreshCalibration) {
  station.InitCalRef(0);
  state.ImgCalibration.CalVer = 0;
  state.ImgCalibration.DFaktor = 0.95;
  state.ImgCalibration.LUTX[1] = 14;
  station.controls.DimShape = Indicator::Red;
  station.controls.ShutterCombo = 4;
  station.RefreshbtnClick();
  EXPECT_EQ(state.ImgCalibration.CalVer, 1);
  EXPECT_EQ(state.ImgCalibration.DFaktor, 1);
  EXPECT_EQ(state.ImgCalibration.top, 200);
  EXPECT_EQ(state.ImgCalibration.LUTX[1], 0);
  EXPECT_EQ(station.controls.DimShape, Indicator::White);
  EXPECT_EQ(panel.camera.back(), "refresh 4 gain 70 flip 0 mirror 0");

  station.controls.GainEdit = 120;
  station.GainEditChange();
  station.controls.Mirror = true;
  station.ShutterComboChange();
  EXPECT_EQ(state.ImgCalibration.Gain, 120);
  EXPECT_EQ(state.ImgCalibration.Shutter, 4);
  EXPECT_EQ(panel.camera.back(), "shutter 4 gain 120 flip 0 mirror 1");
}

class SaveTest : public StationTest {
protected:
  void Calibrate() {
    station.InitCalRef(1);
    station.controls.SNEdit = "42";
    station.controls.GainEdit = 90;
    station.CalcPPI(425.2, 297.5);
  }
  std::filesystem::path Device() const { return home / "VELDRAQXINI" / "00042_VELDRAQX.INI"; }
};

TEST_F(SaveTest, SaveWritesTheFileInUseAndTheDeviceFile) {
  Calibrate();
  ASSERT_TRUE(station.SavebtnClick());
  EXPECT_TRUE(panel.questions.empty());
  EXPECT_EQ(panel.sounds.back(), "OK");
  for (const auto& file : {inUse, Device()}) {
    MeasureState loaded;
    LoadCal(loaded, file);
    EXPECT_EQ(loaded.ImgCalibration.PixelPerInch, 3600) << file;
    EXPECT_NEAR(loaded.ImgCalibration.ZFaktor, state.ImgCalibration.ZFaktor, 1e-12);
    EXPECT_EQ(loaded.ImgCalibration.CalVer, 1);
    EXPECT_EQ(loaded.ImgCalibration.Gain, 90);
    EXPECT_EQ(loaded.SNEditText, "00042");
    EXPECT_EQ(ReadProfileString("VELDRAQX", "BRAND", "", 10, file), "1");
  }
  EXPECT_EQ(station.controls.SNEdit, "00042");
}

TEST_F(SaveTest, OverwriteAnsweredNoStillWritesTheFileInUse) {
  Calibrate();
  std::filesystem::create_directories(Device().parent_path());
  WriteBytes(Device(), "[VELDRAQXCAL]\r\nPixelPerInch=3000\r\n");
  panel.answers = {false};
  EXPECT_TRUE(station.SavebtnClick());
  ASSERT_EQ(panel.questions.size(), 1u);
  EXPECT_EQ(panel.questions[0], "Calibration File exists!");
  EXPECT_EQ(panel.titles[0], "File exists - save anyway?");
  EXPECT_EQ(panel.sounds.back(), "OK");
  EXPECT_EQ(ReadProfileInt("VELDRAQXCAL", "PixelPerInch", 0, inUse), 3600);
  EXPECT_EQ(ReadBytes(Device()), "[VELDRAQXCAL]\r\nPixelPerInch=3000\r\n");
  EXPECT_EQ(ReadProfileString("VELDRAQX", "SERIAL", "none", 15, inUse), "none");

  panel.answers = {true};
  EXPECT_TRUE(station.SavebtnClick());
  EXPECT_EQ(ReadProfileInt("VELDRAQXCAL", "PixelPerInch", 0, Device()), 3600);
  EXPECT_EQ(ReadProfileString("VELDRAQX", "SERIAL", "none", 15, inUse), "00042");
}

TEST_F(SaveTest, FailedSaveIsNotReportedAsSuccess) {
  Calibrate();
  std::filesystem::create_directories(inUse);  // a folder where the file should be
  EXPECT_FALSE(station.SavebtnClick());
  EXPECT_EQ(panel.sounds.back(), "FAIL");
  EXPECT_EQ(panel.messages.size(), 1u);
}

// A serial field that holds no number would save the calibration under
// "00000" or another gauge's number: nothing is written.
TEST_F(SaveTest, SerialThatIsNoNumberIsRefused) {
  for (const char* serial : {"12AB", "", "  ", "-5", "123456789012345"}) {
    Calibrate();
    station.controls.SNEdit = serial;
    panel.messages.clear();
    EXPECT_FALSE(station.SavebtnClick()) << serial;
    EXPECT_FALSE(station.SaveVerybtnClick().ok) << serial;
    EXPECT_FALSE(station.SaveLUTbtnClick()) << serial;
    ASSERT_EQ(panel.messages.size(), 2u) << serial;
    EXPECT_NE(panel.messages[0].find("no serial number"), std::string::npos) << panel.messages[0];
    EXPECT_FALSE(std::filesystem::exists(inUse)) << serial;
    EXPECT_FALSE(std::filesystem::exists(home / "VELDRAQXINI")) << serial;
  }
  Calibrate();
  station.controls.SNEdit = " 42 ";
  EXPECT_TRUE(station.SavebtnClick());
  EXPECT_TRUE(std::filesystem::exists(Device()));
}

TEST_F(SaveTest, CertificateNeedsBothIndicatorsGreen) {
  Calibrate();
  station.controls.BRTolShape = Indicator::White;
  EXPECT_FALSE(station.CreatePDFbtnClick());
  EXPECT_EQ(panel.messages, std::vector<std::string>{"Calibration out of Tolerance or incomplete!"});
  EXPECT_TRUE(panel.reports.empty());
  EXPECT_FALSE(std::filesystem::exists(inUse));

  station.controls.BRTolShape = Indicator::Green;
  EXPECT_TRUE(station.CreatePDFbtnClick());
  EXPECT_EQ(panel.reports, std::vector<int>{0});
  EXPECT_EQ(ReadProfileInt("VELDRAQXCAL", "PixelPerInch", 0, Device()), 3600);

  station.controls.DimShape = Indicator::Red;
  EXPECT_FALSE(station.CreatePDFbtnClick());
  EXPECT_EQ(panel.reports.size(), 1u);
}

TEST_F(SaveTest, LoadIniNewAndDelete) {
  Calibrate();
  std::filesystem::create_directories(Device().parent_path());
  WriteBytes(Device(), "[VELDRAQXCAL]\r\nPixelPerInch=3300\r\nGAIN=55\r\nSHUTTER=7\r\n[VELDRAQX]\r\nSERIAL=777\r\n");
  station.LoadIni(Device());
  EXPECT_EQ(state.ImgCalibration.PixelPerInch, 3300);
  EXPECT_EQ(station.controls.GainEdit, 55);
  EXPECT_EQ(station.controls.ShutterCombo, 7);
  EXPECT_EQ(station.controls.SNEdit, "42");  // the serial field is not changed

  WriteBytes(inUse, "[VELDRAQXCAL]\r\nPixelPerInch=3500\r\n");
  station.DeletebtnClick();
  EXPECT_EQ(state.ImgCalibration.PixelPerInch, 3500);
  EXPECT_TRUE(panel.messages.empty());

  // A refused file is named and the calibration in memory stays.
  WriteBytes(Device(), "[VELDRAQXCAL]\r\nPixelPerInch=1\r\n");
  station.LoadIni(Device());
  WriteBytes(inUse, "[VELDRAQXCAL]\r\nZFaktor=5\r\n");
  station.DeletebtnClick();
  EXPECT_EQ(state.ImgCalibration.PixelPerInch, 3500);
  ASSERT_EQ(panel.messages.size(), 2u);
  EXPECT_NE(panel.messages[0].find("key PixelPerInch"), std::string::npos) << panel.messages[0];
  EXPECT_NE(panel.messages[1].find("key ZFaktor"), std::string::npos) << panel.messages[1];

  state.ImgCalibration.LUTX[2] = 30;
  station.controls.CalHEdit = "9.999";
  station.NewbtnClick(2);
  EXPECT_EQ(state.ImgCalibration.LUTX[2], 0);
  EXPECT_EQ(station.controls.CalHEdit, "2.100");
  EXPECT_EQ(station.controls.BrandGrp, 2);
}

}  // namespace
