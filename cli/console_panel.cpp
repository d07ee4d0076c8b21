#include "cli/console_panel.h"

#include <utility>

namespace {

template <typename T>
std::vector<T> Take(std::vector<T>& items) {
  std::vector<T> taken;
  taken.swap(items);
  return taken;
}

}  // namespace

bool NoReportWriter(ReportKind kind, std::string& message) {
  message = std::string("no report writer here: the ") +
            (kind == kCalibrationCertificate ? "certificate" : "verification report") + " is not written";
  return false;
}

ConsolePanel::ConsolePanel(Answerer answer, StationReportWriter report)
    : answer_(std::move(answer)), report_(std::move(report)) {}

void ConsolePanel::PlayMySound(StationSound sound) { sounds_.push_back(SoundName(sound)); }

bool ConsolePanel::AskYesNo(const std::string& text, const std::string& title) {
  const bool yes = answer_ && answer_(text, title);
  std::string shown = title.empty() ? text : title + ": " + text;
  // One line per question: the message box's line breaks become " / ".
  for (std::size_t at = shown.find("\r\n"); at != std::string::npos; at = shown.find("\r\n", at)) {
    shown.replace(at, 2, " / ");
  }
  questions_.push_back(shown + (yes ? " -> Yes" : " -> No"));
  return yes;
}

void ConsolePanel::ShowMessage(const std::string& text) { messages_.push_back(text); }

bool ConsolePanel::CreatePDF(ReportKind kind) {
  std::string message;
  const bool written = report_ ? report_(kind, message) : NoReportWriter(kind, message);
  if (!message.empty()) messages_.push_back(message);
  return written;
}

void ConsolePanel::SetShutterSpeed(int shutter, int gain, bool flip, bool mirror) {
  camera_.shutter = static_cast<eShutterSpeedCMOS>(shutter & 0xFF);
  camera_.gain = static_cast<std::uint32_t>(gain);
  camera_.flip = flip;
  camera_.mirror = mirror;
}

void ConsolePanel::SetGain(int gain) { camera_.gain = static_cast<std::uint32_t>(gain); }

void ConsolePanel::Refresh(int shutter, int gain, bool flip, bool mirror) { SetShutterSpeed(shutter, gain, flip, mirror); }

std::vector<std::string> ConsolePanel::TakeSounds() { return Take(sounds_); }
std::vector<std::string> ConsolePanel::TakeQuestions() { return Take(questions_); }
std::vector<std::string> ConsolePanel::TakeMessages() { return Take(messages_); }

ConsolePanel::Answerer CalibrationAnswers(bool accept) {
  return [accept](const std::string& text, const std::string&) {
    if (text.rfind("Out of Tolerance", 0) == 0) return accept;
    return text == "Calibration File exists!";
  };
}
