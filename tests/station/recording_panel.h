#pragma once

// A StationPanel that records what the logic asks of the window and answers
// questions from a script.

#include <deque>
#include <string>
#include <vector>

#include "station/station_panel.h"

class RecordingPanel : public StationPanel {
public:
  void PlayMySound(StationSound sound) override { sounds.push_back(SoundName(sound)); }
  bool AskYesNo(const std::string& text, const std::string& title) override {
    questions.push_back(text);
    titles.push_back(title);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool CreatePDF(ReportKind kind) override {
    reports.push_back(static_cast<int>(kind));
    return reportWritten;
  }
  void SetShutterSpeed(int shutter, int gain, bool flip, bool mirror) override {
    camera.push_back("shutter " + std::to_string(shutter) + " gain " + std::to_string(gain) + " flip " +
                     std::to_string(flip) + " mirror " + std::to_string(mirror));
  }
  void SetGain(int gain) override { camera.push_back("gain " + std::to_string(gain)); }
  void Refresh(int shutter, int gain, bool flip, bool mirror) override {
    camera.push_back("refresh " + std::to_string(shutter) + " gain " + std::to_string(gain) + " flip " +
                     std::to_string(flip) + " mirror " + std::to_string(mirror));
  }

  std::vector<std::string> sounds;
  std::vector<std::string> questions;
  std::vector<std::string> titles;
  std::vector<std::string> messages;
  std::vector<int> reports;
  std::vector<std::string> camera;
  std::deque<bool> answers;  // Yes/No answers in order; No when exhausted
  bool reportWritten = true;
};
