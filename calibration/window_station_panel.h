#pragma once

// What the station logic asks of its window, done by the program: sounds,
// questions and messages through the user's dialogs, the camera window, and
// the report composer. The composer is a hook the program sets; without it a
// report is refused with a message.

#include <functional>
#include <string>

#include "station/station_panel.h"

class QWidget;
class TFrmPreview;
struct AppContext;

// Writes report `kind` (0 certificate, 3 verification report) and gives the
// path of the PDF written; false when it could not be written.
using StationReportHook = std::function<bool(int kind, std::string& pdfPath)>;

class WindowStationPanel final : public StationPanel {
public:
  // `destination` is where the main window sends scans while this window
  // runs (the capture destination a Refresh restores); `showReport` shows a
  // written report in the window.
  WindowStationPanel(AppContext& context, QWidget* window, TFrmPreview* camera, int destination,
                     std::function<void(const std::string& pdfPath)> showReport);

  void SetReportHook(StationReportHook hook) { reportHook_ = std::move(hook); }

  void PlayMySound(StationSound sound) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  void ShowMessage(const std::string& text) override;
  bool CreatePDF(ReportKind kind) override;
  void SetShutterSpeed(int shutter, int gain, bool flip, bool mirror) override;
  void SetGain(int gain) override;
  void Refresh(int shutter, int gain, bool flip, bool mirror) override;

private:
  AppContext& context_;
  QWidget* window_;
  TFrmPreview* camera_;
  int destination_;
  std::function<void(const std::string&)> showReport_;
  StationReportHook reportHook_;
};
