#include "cli/report_writer.h"

#include "station/report_composer.h"

bool ComposeReport(int kind, const ReportInputs& inputs, std::string& message) {
  std::string fontMessage;
  ReportEnvironment environment;
  environment.openViewer = false;
  environment.showMessage = [&fontMessage](const std::string& text) { fontMessage = text; };
  ReportComposer composer;
  const ReportOutcome outcome = composer.CreatePDF(kind, inputs, environment);
  if (!outcome.status.ok) {
    message = outcome.status.message;
    return false;
  }
  message = outcome.path.string();
  if (!fontMessage.empty()) message += " (" + fontMessage + ")";
  return true;
}
