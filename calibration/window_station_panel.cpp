#include "calibration/window_station_panel.h"

#include <QString>

#include "imaging/scan_sequence.h"
#include "ui/app_context.h"
#include "ui/sound.h"
#include "ui/user_dialogs.h"

WindowStationPanel::WindowStationPanel(AppContext& context, QWidget* window, TFrmPreview* camera, int destination,
                                       std::function<void(const std::string&)> showReport)
    : context_(context),
      window_(window),
      camera_(camera),
      destination_(destination),
      showReport_(std::move(showReport)) {}

void WindowStationPanel::PlayMySound(StationSound sound) { ::PlayMySound(SoundName(sound)); }

bool WindowStationPanel::AskYesNo(const std::string& text, const std::string& title) {
  return context_.dialogs->Question(window_, QString::fromStdString(text), QString::fromStdString(title));
}

void WindowStationPanel::ShowMessage(const std::string& text) {
  context_.dialogs->Message(window_, QString::fromStdString(text));
}

bool WindowStationPanel::CreatePDF(ReportKind kind) {
  if (!reportHook_) {
    ShowMessage("Reports are not available in this build.");
    return false;
  }
  std::string pdfPath;
  if (!reportHook_(kind, pdfPath)) return false;
  if (showReport_) showReport_(pdfPath);
  return true;
}

// The camera window takes mirror before flip.
void WindowStationPanel::SetShutterSpeed(int shutter, int gain, bool flip, bool mirror) {
  if (camera_) camera_->SetShutterSpeed(shutter, gain, mirror, flip);
}

void WindowStationPanel::SetGain(int gain) {
  if (camera_) camera_->SetGain(gain);
}

void WindowStationPanel::Refresh(int shutter, int gain, bool flip, bool mirror) {
  context_.CALAktive = destination_;
  if (camera_) camera_->Refresh(shutter, gain, mirror, flip);
}
