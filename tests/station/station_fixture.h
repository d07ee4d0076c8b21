#pragma once

// A calibration station in a fresh home folder with the calibration window's
// display state (millimetres, three decimals) and a plain calibration.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "measure/records.h"
#include "recording_panel.h"
#include "station/calibration_station.h"
#include "station/station_pictures.h"
#include "tests/temp_folder.h"

class StationTest : public testing::Test {
protected:
  StationTest() {
    state.Units = 25.4;
    state.Digits = 3;
    TImgCalibration& cal = state.ImgCalibration;
    cal.PixelPerInch = 3600;
    cal.ZFaktor = cal.RFaktor = 1;
    cal.DFaktor = cal.WFaktor = cal.PWFaktor = cal.WVFaktor = cal.DVFaktor = 1;
  }

  void WriteSetup(const std::string& text) { WriteBytes(home / "VELDRAQXEICH.INI", text); }

  // A setup file without references: every value is its default.
  static constexpr const char* kPlainSetup = "[VELDRAQXCALSETUP]\r\n";

  TempFolder home;
  std::filesystem::path inUse = home / "VELDRAQX.INI";
  MeasureState state;
  StationPictures pictures;
  RecordingPanel panel;
  CalibrationStation station{state, pictures, panel, home.Path(), inUse};
};
