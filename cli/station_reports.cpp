#include "cli/station_reports.h"

#include "cli/program_folder.h"
#include "measure/settings_file.h"
#include "platform/language.h"
#include "report/report_composer.h"
#include "shell/startup.h"

namespace {

// What every station report takes from the home folder and the program folder.
ReportInputs StationInputs(const std::filesystem::path& home, const std::string& serial,
                           const StationPictures& pictures) {
  ReportInputs inputs;
  std::error_code ignored;
  inputs.homeDir = std::filesystem::absolute(home, ignored);
  inputs.programDir = ProgramFolder();
  const ProgramSettings settings = LoadSettings(home / kSettingsFileName);
  inputs.pdfCompression = settings.PdfCompression;
  LanguageStore store = CreateLanguage();
  if (store.LoadLanguage(ProgramFolder(), settings.Language).ok) {
    inputs.language = settings.Language;
    ApplyLanguageTexts(store, inputs);
  }
  inputs.serial = serial;
  inputs.ImgBrightness = pictures.ImgBrightness;
  inputs.ImgChannel = pictures.ImgChannel;
  return inputs;
}

// Writes report `kind` into its folder under the record's home folder, no
// viewer opened: true with the path of the report in `message`, false with
// the reason.
bool ComposeReport(ReportKind kind, const ReportInputs& inputs, std::string& message) {
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

}  // namespace

bool WriteCalibrationCertificate(CalibrationStation& station, const StationPictures& pictures,
                                 const std::filesystem::path& home, std::string& message) {
  ReportInputs inputs = StationInputs(home, station.GetSerial(), pictures);
  const CalibrationControls& c = station.controls;
  CertificateTexts& t = inputs.certificate;
  t.TopRefLabel = c.TopRefLabel;
  t.BRRefLabel = c.BRRefLabel;
  t.HRefLabel = "\u00b1 1.5\u00b0";
  t.CalHEdit = c.CalHEdit;
  t.CALWEdit = c.CALWEdit;
  t.SampleTop = c.SampleTop;
  t.BRLabel2 = c.BRLabel2;
  t.HorizLabel = c.HorizLabel;
  t.BHeight = c.BHeight;
  t.BWidth = c.BWidth;
  t.PPIRes = c.PPIRes;
  t.ZFactorRes = c.ZFactorRes;
  return ComposeReport(kCalibrationCertificate, inputs, message);
}

bool WriteVerificationReport(const VerificationStation& station, const std::string& serial,
                             const StationPictures& pictures, const std::filesystem::path& home,
                             std::string& message) {
  ReportInputs inputs = StationInputs(home, serial, pictures);
  const VerificationControls& c = station.controls;
  inputs.verification.CALDEdit = c.CALDEdit;
  inputs.verification.CALWEdit = c.CALWEdit;
  inputs.verification.BDepth = c.BDepth;
  inputs.verification.BWidth = c.BWidth;
  return ComposeReport(kVerificationReport, inputs, message);
}
