#include "cli/commands.h"

#include <cstdio>

#include "cli/measurement_report.h"
#include "cli/measurement_setup.h"
#include "imaging/tool_image.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx analyse FILE... [--cal INI] [--material steel|bevel|pertinax] [--level L] [--json]\n"
    "  Measures tool images (.CRY) again from the profile in their last row.\n"
    "  --cal INI      calibration and display settings (units, digits, show flags,\n"
    "                 level, fibre) of this settings or device file; defaults without\n"
    "  --material M   channel material (default: MATERIAL of the INI, else steel)\n"
    "  --level L      width level: 0 surface, -1..-6 the flank points at 10 px/10 %,\n"
    "                 20, 30, 40, 50, 80 % of the depth, > 0 rows below the surface\n"
    "  --json         one JSON array with an object per file\n"
    "  Exit codes: 0 all measured, 2 usage error, 3 a file could not be read.\n";

}  // namespace

int AnalyseCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ParsedArguments parsed;
  std::string error;
  if (!ParseArguments(args, {"--cal", "--material", "--level"}, {"--json", "--help"}, parsed, error)) {
    std::fprintf(err, "vqx analyse: %s (try vqx analyse --help)\n", error.c_str());
    return 2;
  }
  if (parsed.Has("--help")) {
    std::fputs(kUsage, out);
    return 0;
  }
  if (parsed.positional.empty()) {
    std::fprintf(err, "vqx analyse: no tool image given (try vqx analyse --help)\n");
    return 2;
  }
  MeasurementSetup setup;
  if (!PrepareSetup(parsed, false, setup, error)) {
    std::fprintf(err, "vqx analyse: %s\n", error.c_str());
    return 2;
  }
  const bool json = parsed.Has("--json");
  JsonWriter writer;
  if (json) writer.BeginArray();
  int exitCode = 0;
  for (const std::string& file : parsed.positional) {
    MeasurementImages images;
    const FileStatus loaded = LoadBmpAsPng(images.iBild, file);
    if (!loaded.ok) {
      std::fprintf(err, "vqx analyse: %s\n", loaded.message.c_str());
      exitCode = 3;
      continue;
    }
    MeasurementReport report;
    report.file = file;
    report.outcome = AnalyseStoredImage(setup.state, images, setup.material, setup.options);
    report.channel = setup.state.MyChannel;
    if (json) {
      WriteReport(writer, report);
    } else {
      std::fprintf(out, "%s\n", ReportLine(setup.state, report).c_str());
    }
  }
  if (json) {
    writer.EndArray();
    std::fprintf(out, "%s\n", writer.Text().c_str());
  }
  return exitCode;
}
