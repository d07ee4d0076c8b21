#pragma once

// The calibration and verification windows' side of the station logic for
// the command line: sounds are kept for the line of the step that played
// them, questions are answered by the command and remembered, messages are
// collected, the camera settings are kept for the simulated gauge, and the
// reports go to a hook.

#include <functional>
#include <string>
#include <vector>

#include "capture/simulated_optics.h"
#include "station/station_panel.h"

// Writes a report of a station run; false with the reason when it cannot.
using StationReportWriter = std::function<bool(ReportKind kind, std::string& message)>;

// The writer of a panel given none: writes nothing and says so.
bool NoReportWriter(ReportKind kind, std::string& message);

class ConsolePanel final : public StationPanel {
public:
  // `answer` decides a Yes/No question (text, title).
  using Answerer = std::function<bool(const std::string& text, const std::string& title)>;

  ConsolePanel(Answerer answer, StationReportWriter report);

  void PlayMySound(StationSound sound) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  void ShowMessage(const std::string& text) override;
  bool CreatePDF(ReportKind kind) override;
  void SetShutterSpeed(int shutter, int gain, bool flip, bool mirror) override;
  void SetGain(int gain) override;
  void Refresh(int shutter, int gain, bool flip, bool mirror) override;

  // The sounds played since the last call, in order ("OK", "FAIL", "tada").
  std::vector<std::string> TakeSounds();
  // The questions asked since the last call, each with " -> Yes" or " -> No".
  std::vector<std::string> TakeQuestions();
  // The messages shown since the last call.
  std::vector<std::string> TakeMessages();
  // The camera as the last Refresh, shutter or gain call set it.
  const CameraSettings& Camera() const { return camera_; }

private:
  Answerer answer_;
  StationReportWriter report_;
  std::vector<std::string> sounds_;
  std::vector<std::string> questions_;
  std::vector<std::string> messages_;
  CameraSettings camera_;
};

// The answers of a calibration run: the device file of the serial being
// calibrated is replaced; a linearity point out of tolerance is taken only
// with `accept`; anything else is answered No.
ConsolePanel::Answerer CalibrationAnswers(bool accept);
