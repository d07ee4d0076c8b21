#include <cstdio>
#include <filesystem>

#include "cli/command_output.h"
#include "cli/commands.h"
#include "cli/measurement_report.h"
#include "cli/measurement_setup.h"
#include "cli/program_folder.h"
#include "imaging/bmp_codec.h"
#include "imaging/measurement.h"
#include "imaging/tool_image.h"
#include "measure/numbers.h"
#include "measure/settings_file.h"
#include "measure/units.h"
#include "platform/atomic_file.h"
#include "platform/file_names.h"
#include "platform/language.h"
#include "platform/text_decoding.h"
#include "report/report_composer.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx report FILE.CRY... --cal INI [--job ID] [--home DIR] [--material steel|bevel|pertinax]\n"
    "                  [--level L]\n"
    "  Writes the measurement report of tool images (.CRY) as a PDF and prints its path.\n"
    "  One file gives the report of the current result; two or three files are the\n"
    "  stored results V, H and D, in this order, side by side.\n"
    "  --cal INI      calibration and settings (units, digits, show flags, language,\n"
    "                 report options, SERIAL, PDFCOMPRESSION)\n"
    "  --job ID       the JOB ID (default DEFAULT)\n"
    "  --home DIR     home folder: the report goes to DIR/Reports; PRLOGO.bmp and\n"
    "                 PRLOGO.txt there are the report logo and text (default: the\n"
    "                 working folder)\n"
    "  --material M   channel material (default: MATERIAL of the INI, else steel)\n"
    "  --level L      width level, as for vqx analyse\n"
    "  Exit codes: 0 written, 2 usage error, 3 a file could not be read or written.\n";

// The texts of the main window and the report that come from the language file.
void ApplyLanguage(const ProgramSettings& settings, ReportInputs& inputs) {
  LanguageStore store;
  if (!store.LoadLanguage(ProgramFolder(), settings.Language).ok) return;  // the built-in English texts stay
  inputs.language = settings.Language;
  ApplyLanguageTexts(store, inputs);
}

// The user's logo and text of the home folder, else the brand logo.
void ApplyUserLogo(const std::filesystem::path& home, ReportInputs& inputs) {
  if (!LoadBmpFile(inputs.logoBmp, FindPathIgnoringCase(home, "PRLOGO.bmp")).ok) inputs.logoBmp = DrawBrandLogo();
  std::string text;
  if (ReadWholeFile(FindPathIgnoringCase(home, "PRLOGO.txt"), text).ok) inputs.memoLines = SplitLines(DecodeTextToUtf8(text));
}

// The settings dialog's level and fibre edits: millimetres with 3 decimals.
std::string LevelEditText(const MeasureState& state) {
  const TImgCalibration& cal = state.ImgCalibration;
  if (cal.PixelPerInch == 0) return FormatFixed(0, 3);
  return FormatFixed(state.Level * cal.ZFaktor * cal.DFaktor * 25.4 / cal.PixelPerInch, 3);
}

std::string FiberEditText(const MeasureState& state) {
  const double ppi = state.ImgCalibration.PixelPerInch;
  return FormatFixed(ppi == 0 ? 0 : state.Fiber * 25.4 / ppi, 3);
}

}  // namespace

int ReportCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ParsedArguments parsed;
  std::string error;
  if (!ParseArguments(args, {"--cal", "--job", "--home", "--material", "--level"}, {"--help"}, parsed, error)) {
    std::fprintf(err, "vqx report: %s (try vqx report --help)\n", error.c_str());
    return 2;
  }
  if (parsed.Has("--help")) {
    std::fputs(kUsage, out);
    return 0;
  }
  if (parsed.positional.empty() || parsed.positional.size() > 3) {
    std::fprintf(err, "vqx report: give one to three tool images (try vqx report --help)\n");
    return 2;
  }
  if (!parsed.Option("--cal")) {
    std::fprintf(err, "vqx report: --cal INI is needed (try vqx report --help)\n");
    return 2;
  }
  MeasurementSetup setup;
  int exitCode = 2;
  if (!PrepareSetup(parsed, setup, error, exitCode)) {
    std::fprintf(err, "vqx report: %s\n", error.c_str());
    return exitCode;
  }
  const std::filesystem::path cal = *parsed.Option("--cal");
  const ProgramSettings settings = LoadSettings(cal);
  std::error_code ignored;
  // Absolute, so the footer shows the full path of the report.
  const std::filesystem::path home = std::filesystem::absolute(
      parsed.Option("--home") ? std::filesystem::path(*parsed.Option("--home")) : std::filesystem::current_path(ignored),
      ignored);

  ReportInputs inputs;
  inputs.homeDir = home;
  inputs.programDir = ProgramFolder();
  inputs.pdfCompression = settings.PdfCompression;
  inputs.invImage = settings.InvImg;
  inputs.showOpen = settings.ShowOpen;
  inputs.showRadius = settings.ShowRadius;
  inputs.showAlpha = settings.ShowAlpha;
  inputs.showLevel = settings.ShowLevel;
  ApplyLanguage(settings, inputs);
  ApplyUserLogo(home, inputs);
  setup.state.SNEditText = settings.Serial;
  inputs.serial = GetSerial(setup.state);
  if (const auto job = parsed.Option("--job")) inputs.jobId = *job;
  inputs.materialIndex = static_cast<int>(setup.material);
  inputs.fiberText = StrUnits(setup.state, setup.state.Fiber);
  inputs.mmLabel1 = inputs.mmLabel2 = inputs.RadiusLabel = UnitName(setup.state);

  const bool stored = parsed.positional.size() > 1;
  for (std::size_t i = 0; i < parsed.positional.size(); ++i) {
    const std::string& file = parsed.positional[i];
    MeasurementImages images;
    if (const FileStatus loaded = LoadBmpAsPng(images.iBild, file); !loaded.ok) {
      std::fprintf(err, "vqx report: %s\n", loaded.message.c_str());
      return 3;
    }
    const ResultTexts texts = AnalyseStoredImage(setup.state, images, setup.material, setup.options).texts;
    if (stored) {
      ReportSnapshot& snapshot = inputs.snapshots[i];
      snapshot.down = true;
      snapshot.Img = std::move(images.rBild);
      snapshot.texts = {nullptr, texts.depth, texts.width, texts.open, texts.alphaV, texts.radius,
                        LevelEditText(setup.state), FiberEditText(setup.state)};
    } else {
      inputs.DepthResult = texts.depth;
      inputs.WidthResult = texts.width;
      inputs.OpenResult = texts.open;
      inputs.RadiusResult = texts.radius;
      inputs.AlphaV = texts.alphaV;
      inputs.openGroupVisible = texts.openVisible;
      inputs.radiusGroupVisible = texts.radiusVisible;
      inputs.vGroupVisible = texts.alphaVisible;
      inputs.rBild = std::move(images.rBild);
    }
  }

  ReportEnvironment environment;
  environment.openViewer = false;
  environment.showMessage = [err](const std::string& message) { std::fprintf(err, "vqx report: %s\n", message.c_str()); };
  ReportComposer composer;
  const ReportOutcome outcome = composer.CreatePDF(stored ? kStoredResultsReport : kMeasurementReport, inputs, environment);
  if (!outcome.status.ok) {
    std::fprintf(err, "vqx report: %s\n", outcome.status.message.c_str());
    return 3;
  }
  // The path is the result: a report whose path cannot be printed is not done.
  std::fprintf(out, "%s\n", outcome.path.string().c_str());
  return FlushResults(out, err, "report") ? 0 : 3;
}
