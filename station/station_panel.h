#pragma once

// What the calibration and verification logic needs of the window that shows
// it: sounds, questions, messages, the report and the camera. The window
// implements it; tests record the calls.

#include <string>

#include "report/report_names.h"

// Colour of a tolerance indicator: not evaluated, within or out of tolerance.
enum class Indicator { White, Green, Red };

// The three feedback sounds ("OK.wav", "FAIL.wav", "tada.wav").
enum class StationSound { OK, FAIL, tada };

// The file name of a sound without its extension: "OK", "FAIL" or "tada".
const char* SoundName(StationSound sound);

class StationPanel {
public:
  virtual ~StationPanel() = default;

  virtual void PlayMySound(StationSound sound) = 0;
  // A question with the buttons Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  // Writes the report (kCalibrationCertificate or kVerificationReport) and
  // shows it; false when it could not be written.
  virtual bool CreatePDF(ReportKind kind) = 0;

  // Camera: shutter step, gain, flip and mirror; Refresh restarts the live
  // view and routes the next captures to the window asking.
  virtual void SetShutterSpeed(int shutter, int gain, bool flip, bool mirror) = 0;
  virtual void SetGain(int gain) = 0;
  virtual void Refresh(int shutter, int gain, bool flip, bool mirror) = 0;
};
