#include "cli/station_reports.h"

#include "cli/program_folder.h"
#include "cli/report_writer.h"
#include "measure/settings_file.h"
#include "platform/language.h"
#include "shell/startup.h"

namespace {

// The composer's numbers of the two station reports.
constexpr int kCertificateIndex = static_cast<int>(ReportKind::Certificate);
constexpr int kVerificationIndex = static_cast<int>(ReportKind::Verification);

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
  return ComposeReport(kCertificateIndex, inputs, message);
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
  return ComposeReport(kVerificationIndex, inputs, message);
}
