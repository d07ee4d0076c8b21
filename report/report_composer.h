#pragma once

// The report composer: names and places a report, builds the PDF document
// (frame: information, logo, user text, date line, footer, title; then the
// body of its kind) and hands it to whoever shows it.

#include <filesystem>
#include <functional>
#include <string>

#include "platform/event_loop.h"
#include "platform/file_status.h"
#include "report/report_inputs.h"
#include "report/report_names.h"

// The document view of the calibration or verification window.
class ReportDocumentView {
public:
  virtual ~ReportDocumentView() = default;
  virtual bool Busy() const = 0;
  // 4 when the view has completed loading ("complete").
  virtual int ReadyState() const = 0;
  virtual void Navigate(const std::filesystem::path& file) = 0;
};

// How a report meets the rest of the program.
struct ReportEnvironment {
  ReportClock clock = SystemReportClock();
  // Runs pending events while the composer waits (none: it just polls).
  EventLoop* events = nullptr;
  ReportDocumentView* calibrationView = nullptr;   // shows kind 0
  ReportDocumentView* verificationView = nullptr;  // shows kind 3
  // Kinds 1 and 2 open in the desktop's viewer; the command line turns it off.
  bool openViewer = true;
  // Shows the font message of SetRepFont (the report is still written).
  std::function<void(const std::string&)> showMessage;
};

constexpr const char* kReportAuthor = "https://veldra-qx.example";
constexpr int kReportJpegQuality = 85;
constexpr int kReportWaitMs = 5000;

struct ReportOutcome {
  FileStatus status;
  std::filesystem::path path;  // the report written (empty for other kinds)
};

class ReportComposer {
public:
  // Stamps the report (sdr), builds its path in its folder under the home
  // folder (created when missing), writes it and, for kinds 0 and 3, waits
  // for the file and the view and shows it there. Other kinds only update sdr.
  ReportOutcome CreatePDF(int Index, const ReportInputs& inputs, ReportEnvironment& environment);

  // Writes the document of kind `Index` to `FileName`; with `Show` the
  // finished file opens in the desktop's viewer. A failure leaves no file and
  // its message names the file and the reason.
  FileStatus CreateJPPDF(const std::filesystem::path& FileName, int Index, bool Show, const ReportInputs& inputs,
                         const std::function<void(const std::string&)>& showMessage = {});

  const std::string& sdr() const { return sdr_; }
  const std::string& JPFontName() const { return JPFontName_; }

private:
  std::string sdr_;
  std::string JPFontName_ = "Arial";
};

// "VELDRA_Logo.bmp" in the home folder, else in the program folder.
std::filesystem::path CertificateLogoPath(const ReportInputs& inputs);
