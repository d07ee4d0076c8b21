// The simulated calibration station: its station file, its flat reference
// under the calibration's surface measurement, and the console panel's
// answers and reports.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "cli/console_panel.h"
#include "cli/simulated_station.h"
#include "measure/records.h"
#include "shell/startup.h"
#include "station/calibration_station.h"
#include "tests/temp_folder.h"

namespace {

TEST(SimulatedStationFile, IsTheDemoHomeFoldersAndShowsTheCalibrateEntry) {
  const std::filesystem::path demo = std::filesystem::path(VQX_SOURCE_DIR) / "data" / "demo";
  EXPECT_EQ(ReadBytes(demo / kStationFileName), SimulatedStationFileText());
  EXPECT_TRUE(CalibrationMenuVisible(demo));
}

// A calibration station in a home folder holding the simulated station's file.
class SimulatedStationTest : public testing::Test {
protected:
  SimulatedStationTest() {
    WriteBytes(home / kStationFileName, SimulatedStationFileText());
    state.Units = 25.4;
    state.Digits = 3;
    state.ImgCalibration.PixelPerInch = 3600;
    state.ImgCalibration.ZFaktor = 1;
    state.ImgCalibration.DFaktor = 1;
  }

  TempFolder home;
  MeasureState state;
  StationPictures pictures;
  ConsolePanel panel{CalibrationAnswers(false), {}};
  CalibrationStation station{state, pictures, panel, home.Path(), home / kSettingsFileName};
};

TEST_F(SimulatedStationTest, FlatReferencePassesTheSurfaceCheckAtTheGaugesRowAndTilt) {
  station.InitCalRef(2);
  station.RefreshbtnClick();
  // The calibration's camera settings reach the simulated camera.
  EXPECT_EQ(panel.Camera().shutter, kCalibrationShutter);
  EXPECT_EQ(panel.Camera().gain, static_cast<std::uint32_t>(kCalibrationGain));
  // The gauge of vqx calibrate, and one built as a fresh calibration file
  // describes it (the desktop program's simulated gauge with the demo home).
  GaugeTruth nominal;
  nominal.pixelsPerInch = 3600;
  nominal.zFactor = 1;
  nominal.shallowBend = 0;
  nominal.top = 300;
  nominal.tilt = 0;
  nominal.trapez = -0.3;
  for (const GaugeTruth& truth : {kSimulatedGaugeTruth, nominal}) {
    const double tiltDegrees = std::atan(truth.tilt) * 180 / std::numbers::pi;
    for (std::uint32_t seed : {1u, 2u, 3u}) {
      SimulatedStation simulated(truth, seed);
      station.MaxBtnClick(simulated.LiveFrame(FlatReferenceSample(), panel.Camera()));
      EXPECT_EQ(station.controls.BRTolShape, Indicator::Green) << truth.top << " " << seed;
      EXPECT_NEAR(state.ImgCalibration.top, truth.top, 3) << seed;
      EXPECT_NEAR(state.SampleRep.Angle, tiltDegrees, 0.05) << seed;
      EXPECT_NEAR(state.SampleRep.ActBr, station.CalRef().CALB, 5) << seed;
    }
  }
}

TEST_F(SimulatedStationTest, ALinearityPointOutOfToleranceIsTakenOnlyWhenAccepted) {
  station.InitCalRef(2);
  station.ClearGraphbtnClick();
  // 0.120 mm measured for the 0.100 mm reference: 0.02 mm out.
  const double pixels = 0.12 / 25.4 * 3600;
  station.AddGraph(0, pixels);
  EXPECT_TRUE(station.Chart().channel.empty());
  ASSERT_EQ(panel.TakeQuestions().size(), 1u);

  ConsolePanel accepting{CalibrationAnswers(true), {}};
  CalibrationStation acceptingStation{state, pictures, accepting, home.Path(), home / kSettingsFileName};
  acceptingStation.InitCalRef(2);
  acceptingStation.ClearGraphbtnClick();
  acceptingStation.AddGraph(0, pixels);
  ASSERT_EQ(acceptingStation.Chart().channel.size(), 1u);
  EXPECT_EQ(acceptingStation.controls.VeryGrid[1][1], "0.120");
  const std::vector<std::string> questions = accepting.TakeQuestions();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].rfind("Out of Tolerance 0.120", 0), 0u) << questions[0];
  EXPECT_NE(questions[0].find("-> Yes"), std::string::npos);
}

TEST(ConsolePanel, ReplacesTheDeviceFileRefusesOtherQuestionsAndHandsReportsToItsWriter) {
  ConsolePanel panel{CalibrationAnswers(false), {}};
  EXPECT_TRUE(panel.AskYesNo("Calibration File exists!", "File exists - save anyway?"));
  EXPECT_FALSE(panel.AskYesNo("Delete LUT from INI file?", ""));
  EXPECT_EQ(panel.TakeQuestions(), (std::vector<std::string>{
                                       "File exists - save anyway?: Calibration File exists! -> Yes",
                                       "Delete LUT from INI file? -> No"}));
  EXPECT_FALSE(panel.CreatePDF(kCalibrationCertificate));
  const std::vector<std::string> messages = panel.TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("certificate is not written"), std::string::npos);

  ConsolePanel writing{{}, [](ReportKind kind, std::string& message) {
                         message = kind == kVerificationReport ? "report.pdf" : "";
                         return kind == kVerificationReport;
                       }};
  EXPECT_TRUE(writing.CreatePDF(kVerificationReport));
  EXPECT_EQ(writing.TakeMessages(), std::vector<std::string>{"report.pdf"});
}

}  // namespace
