#include <gtest/gtest.h>

#include <cmath>

#include "platform/file_status.h"
#include "station/station_setup.h"
#include "station/tolerance.h"
#include "station_fixture.h"

namespace {

TEST_F(StationTest, WithoutSetupFileTheDefaultReferencesAreShown) {
  station.controls.VeryGrid[1][3] = "0.333";
  station.InitCalRef(2);
  const CalibrationControls& c = station.controls;
  EXPECT_EQ(c.CalHEdit, "2.100");
  EXPECT_EQ(c.CALWEdit, "3.000");
  EXPECT_EQ(c.TopRefLabel, "200");
  EXPECT_EQ(c.BRRefLabel, "3000");
  const char* rows[] = {"0.100", "0.200", "0.300", "0.400", "0.500"};
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(c.VeryGrid[0][i], rows[i - 1]);
    EXPECT_EQ(c.VeryGrid[1][i], "");
    EXPECT_DOUBLE_EQ(station.VerRef()[i - 1], (i) / 10.0);
  }
  EXPECT_EQ(station.VerRef()[5], 0);
  EXPECT_EQ(station.MessCountH(), 1);
  EXPECT_EQ(c.BrandGrp, 2);
  EXPECT_EQ(c.ShutterCombo, 10);
  EXPECT_STREQ(kShutterTexts[c.ShutterCombo], "    1/200");
  EXPECT_EQ(c.GainEdit, 70);
  ASSERT_EQ(panel.camera.size(), 1u);
  EXPECT_EQ(panel.camera[0], "shutter 10 gain 70 flip 0 mirror 0");
}

TEST_F(StationTest, SetupFileFillsReferencesAndCaptureCount) {
  struct Case {
    const char* countH;
    int captures;
  } cases[] = {{"3", 3}, {"100", 100}, {"", 1}};
  for (const Case& k : cases) {
    WriteSetup(std::string("[VELDRAQXCALSETUP]\r\nCALTOP=180\r\nCALB=125\r\nCALD=1500\r\nCALW=2500\r\nCOUNTH=") +
               k.countH + "\r\n[VELDRAQXSETUP]\r\nD1=50\r\nD5=900\r\n");
    station.InitCalRef(0);
    EXPECT_EQ(station.MessCountH(), k.captures) << "COUNTH=" << k.countH;
  }
  EXPECT_EQ(station.CalRef().CALTOP, 180);
  EXPECT_EQ(station.CalRef().CALB, 125);
  EXPECT_DOUBLE_EQ(station.CalRef().CALD, 1.5);
  EXPECT_DOUBLE_EQ(station.CalRef().CALW, 2.5);
  EXPECT_EQ(station.controls.CalHEdit, "1.500");
  EXPECT_EQ(station.controls.VeryGrid[0][1], "0.050");
  EXPECT_EQ(station.controls.VeryGrid[0][2], "0.200");
  EXPECT_EQ(station.controls.VeryGrid[0][5], "0.900");
}

// Setup values a station cannot have, and setup files that are none: the
// calibration does not start, no capture counts and nothing is saved. The
// values at the ends of the ranges are taken.
TEST_F(StationTest, ImplausibleOrDamagedSetupFileStopsTheCalibration) {
  struct Case {
    std::string text;
    const char* message;  // empty: accepted
  } cases[] = {
      {"[VELDRAQXCALSETUP]\r\nCALW=99999999\r\n", "key CALW of section [VELDRAQXCALSETUP] is 99999999, outside 200 .. 8000"},
      {"[VELDRAQXSETUP]\r\nD4=99999999\r\n", "key D4 of section [VELDRAQXSETUP] is 99999999, outside 50 .. 4000"},
      {"[VELDRAQXCALSETUP]\r\nCOUNTH=2147483647\r\n", "key COUNTH of section [VELDRAQXCALSETUP] is 2147483647, outside 1 .. 100"},
      {"[VELDRAQXCALSETUP]\r\nCOUNTH=0\r\n", "key COUNTH of section [VELDRAQXCALSETUP] is 0, outside 1 .. 100"},
      {"[VELDRAQXCALSETUP]\r\nLEVEL=7\r\n", "key LEVEL of section [VELDRAQXCALSETUP] is 7, outside 0 .. 3"},
      {"[VELDRAQXCALSETUP]\r\nCALD=abc\r\n", "key CALD of section [VELDRAQXCALSETUP] is 0, outside 50 .. 4000"},
      {"[VELDRAQXCALSETUP]\r\nCALTOP=-1\r\n", "key CALTOP of section [VELDRAQXCALSETUP] is -1, outside 0 .. 1023"},
      {"", "is empty"},
      {"CALW=3000\r\nCOUNTH=2\r\n", "holds no section"},
      {std::string("\xFF\xFE[\0V\0]\0", 8), "is UTF-16 text"},
      {std::string("[VELDRAQXCALSETUP]\r\nCALW=3\0\0\r\n", 27), "holds a NUL byte at offset 26"},
      {"[VELDRAQXCALSETUP]\r\nCALTOP=1023\r\nCALD=50\r\nCALW=8000\r\nCOUNTH=100\r\nLEVEL=3\r\n"
       "[VELDRAQXSETUP]\r\nD1=50\r\nD5=4000\r\n",
       ""},
  };
  state.MyChannel.plt = {100, 200};
  state.MyChannel.prt = {525, 200};
  state.MyChannel.pl50 = {100, 250};
  state.MyChannel.pr50 = {525, 250};
  state.MyChannel.depth = 300;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.message);
    WriteSetup(k.text);
    panel.messages.clear();
    const FileStatus init = station.InitCalRef(0);
    station.controls.SNEdit = "42";
    station.Capture(Bitmap(4, 4), CalibratePage::Calibrate);
    const bool saved = station.SavebtnClick();
    if (*k.message == 0) {
      EXPECT_TRUE(init.ok) << init.message;
      EXPECT_EQ(station.CountH(), 1);
      EXPECT_TRUE(saved);
      continue;
    }
    EXPECT_FALSE(init.ok);
    EXPECT_NE(init.message.find(QuotedPath(home / "VELDRAQXEICH.INI")), std::string::npos) << init.message;
    EXPECT_NE(init.message.find(k.message), std::string::npos) << init.message;
    ASSERT_FALSE(panel.messages.empty());
    EXPECT_EQ(panel.messages.front(), init.message);
    EXPECT_EQ(station.CountH(), 0);
    EXPECT_EQ(station.controls.DimShape, Indicator::Red);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(std::filesystem::exists(inUse));
    EXPECT_FALSE(std::filesystem::exists(home / "VELDRAQXINI" / "00042_VELDRAQX.INI"));
  }
}

// A setup file damaged after the start stops the next capture as well.
TEST_F(StationTest, SetupFileDamagedDuringTheCalibrationStopsIt) {
  WriteSetup("[VELDRAQXCALSETUP]\r\nCOUNTH=2\r\n");
  ASSERT_TRUE(station.InitCalRef(0).ok);
  state.MyChannel.plt = {100, 200};
  state.MyChannel.prt = {525, 200};
  state.MyChannel.depth = 300;
  station.Capture(Bitmap(4, 4), CalibratePage::Calibrate);
  EXPECT_EQ(station.CountH(), 1);
  WriteSetup("[VELDRAQXCALSETUP]\r\nCOUNTH=2\r\nLEVEL=9\r\n");
  station.Capture(Bitmap(4, 4), CalibratePage::Calibrate);
  EXPECT_EQ(station.CountH(), 1);
  ASSERT_EQ(panel.messages.size(), 1u);
  EXPECT_NE(panel.messages[0].find("key LEVEL"), std::string::npos);
  // Repairing the file is not enough: the references come from a new start.
  WriteSetup("[VELDRAQXCALSETUP]\r\nCOUNTH=2\r\n");
  station.Capture(Bitmap(4, 4), CalibratePage::Calibrate);
  EXPECT_EQ(station.CountH(), 1);
  ASSERT_TRUE(station.InitCalRef(0).ok);
  station.Capture(Bitmap(4, 4), CalibratePage::Calibrate);
  EXPECT_EQ(station.CountH(), 1);
}

TEST_F(StationTest, SerialNumberIsNormalisedAndIncremented) {
  struct Case {
    const char* text;
    const char* normalised;
    const char* next;
  } cases[] = {
      {"42", "00042", "00043"},   {"00099", "00099", "00100"}, {"123456", "123456", "123457"},
      {"", "00000", "00001"},     {"12AB", "00012", "00013"},  {" 7", "00007", "00008"},
  };
  for (const Case& k : cases) {
    station.controls.SNEdit = k.text;
    EXPECT_EQ(station.GetSerial(), k.normalised);
    EXPECT_EQ(station.controls.SNEdit, k.normalised);
    station.controls.SNEdit = k.text;
    station.NextSNbtnClick();
    EXPECT_EQ(station.controls.SNEdit, k.next) << k.text;
  }
}

TEST(GetValues, ParsesGridCellsIntoMillimetres) {
  struct Case {
    const char* text;
    double units;
    double mm;
  } cases[] = {
      {"-0,25", 25.4, 0.25}, {"0.01", 1, 0.254},  {" 1 . 5 ", 25.4, 1.5}, {"10", 1000, 0.254},
      {"", 25.4, 0},         {"abc", 25.4, 0},    {"0.104", 25.4, 0.104}, {"0.5", 0, 0},
  };
  for (const Case& k : cases) EXPECT_DOUBLE_EQ(GetValues(k.text, k.units), k.mm) << k.text << " " << k.units;
}

TEST(Tolerance, ExactlyTheToleranceFailsWhateverItsRepresentation) {
  struct Case {
    double deviation;
    double tolerance;
    bool within;
  } cases[] = {
      {2.1 - 2.1079, 0.008, true},  {2.1 - 2.108, 0.008, false}, {2.1 - 2.092, 0.008, false},
      {3.0 - 3.0099, 0.01, true},   {3.0 - 2.99, 0.01, false},   {3.0 - 3.01, 0.01, false},
      {0.1149 - 0.1, 0.015, true},  {0.115 - 0.1, 0.015, false}, {0.085 - 0.1, 0.015, false},
      {0, 0.01, true},              {std::nan(""), 0.01, false},
  };
  for (const Case& k : cases) EXPECT_EQ(WithinTolerance(k.deviation, k.tolerance), k.within) << k.deviation;
}

}  // namespace
