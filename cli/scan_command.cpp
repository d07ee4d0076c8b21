#include <unistd.h>

#include <cstdio>

#include "cli/commands.h"
#include "cli/measurement_report.h"
#include "cli/simulated_scan.h"
#include "cli/program_folder.h"
#include "imaging/tool_image.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx scan --simulate [--shape flat|trapezoid|v|round] [--depth MM] [--width MM]\n"
    "                [--angle DEG] [--radius MM] [--material steel|bevel|pertinax] [--cal INI]\n"
    "                [--level L] [--seed N] [--save FILE.CRY] [--json]\n"
    "  Takes a whole scan with the simulated gauge (live picture, key press, 14-frame\n"
    "  series, combination, analysis) and prints the result beside the sample's truth.\n"
    "  --shape S      sample shape (default trapezoid)\n"
    "  --depth MM     depth (default 0.5)        --width MM   width at the surface (default 1.0)\n"
    "  --angle DEG    trapezoid flank angle from the vertical (default 15)\n"
    "  --radius MM    bottom radius of a round sample (default half the width)\n"
    "  --cal INI      calibration and settings; the simulated gauge is built to match it\n"
    "                 (without: an ideal gauge of 3600 pixels per inch)\n"
    "  --seed N       sensor noise seed (default 1)\n"
    "  --save FILE    writes the tool image of the scan\n"
    "  --json         the result as a JSON object, with \"truth\"\n";

bool ParseShape(const std::string& text, synth::ChannelShape& shape) {
  if (text == "flat") shape = synth::ChannelShape::Flat;
  else if (text == "trapezoid") shape = synth::ChannelShape::Trapezoid;
  else if (text == "v" || text == "V") shape = synth::ChannelShape::V;
  else if (text == "round") shape = synth::ChannelShape::Round;
  else return false;
  return true;
}

// A sample that fits the picture: positive sizes, a depth the image can show.
bool CheckSample(const SimulatedSample& sample, std::string& error) {
  if (!(sample.depthMm > 0 && sample.depthMm <= 4)) {
    error = "--depth must lie above 0 and at most 4 mm";
  } else if (!(sample.widthMm > 0 && sample.widthMm <= 8)) {
    error = "--width must lie above 0 and at most 8 mm";
  } else if (!(sample.flankAngle >= 0 && sample.flankAngle < 90)) {
    error = "--angle must lie from 0 to below 90 degrees";
  } else if (!(sample.bottomRadiusMm > 0)) {
    error = "--radius must be above 0";
  } else {
    return true;
  }
  return false;
}

}  // namespace

int ScanCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ParsedArguments parsed;
  std::string error;
  const bool parsedOk =
      ParseArguments(args, {"--shape", "--depth", "--width", "--angle", "--radius", "--material", "--cal", "--level",
                            "--seed", "--save"},
                     {"--simulate", "--json", "--help"}, parsed, error);
  if (parsedOk && parsed.Has("--help")) {
    std::fputs(kUsage, out);
    return 0;
  }
  if (parsedOk && !parsed.Has("--simulate")) error = "only --simulate scans run without a gauge";
  if (parsedOk && !parsed.positional.empty()) error = "unexpected argument '" + parsed.positional.front() + "'";
  SimulatedSample sample;
  sample.shape = synth::ChannelShape::Trapezoid;
  sample.flankAngle = 15;
  double seed = 1;
  if (error.empty() && parsed.Option("--shape") && !ParseShape(*parsed.Option("--shape"), sample.shape)) {
    error = "unknown shape '" + *parsed.Option("--shape") + "' (flat, trapezoid, v or round)";
  }
  if (sample.shape != synth::ChannelShape::Trapezoid) sample.flankAngle = 0;
  if (error.empty()) {
    NumberOption(parsed, "--depth", sample.depthMm, error) && NumberOption(parsed, "--width", sample.widthMm, error) &&
        NumberOption(parsed, "--angle", sample.flankAngle, error) && NumberOption(parsed, "--seed", seed, error);
  }
  sample.bottomRadiusMm = sample.widthMm / 2;
  if (error.empty()) NumberOption(parsed, "--radius", sample.bottomRadiusMm, error);
  if (error.empty()) CheckSample(sample, error);
  if (!error.empty()) {
    std::fprintf(err, "vqx scan: %s (try vqx scan --help)\n", error.c_str());
    return 2;
  }
  MeasurementSetup setup;
  if (!PrepareSetup(parsed, true, setup, error)) {
    std::fprintf(err, "vqx scan: %s\n", error.c_str());
    return 2;
  }
  // The sample is of the material the program is set to measure.
  sample.material = setup.material == Material::Pertinax ? synth::Material::Pertinax : synth::Material::Steel;
  LanguageStore language = CreateLanguage();
  if (const FileStatus loaded = language.LoadLanguage(ProgramFolder(), "English"); !loaded.ok) {
    std::fprintf(err, "vqx scan: %s\n", loaded.message.c_str());
    return 1;
  }
  const bool showProgress = isatty(fileno(err));
  SimulatedScan scan;
  const bool done = RunSimulatedScan(
      setup, sample, static_cast<std::uint32_t>(seed), language, scan, error,
      [&](int percent) {
        if (showProgress) std::fprintf(err, "\rscanning %3d %%", percent);
      },
      [&](const std::string& text) { std::fprintf(err, "vqx scan: %s\n", text.c_str()); });
  if (showProgress) std::fputs("\r               \r", err);
  if (!done) {
    std::fprintf(err, "vqx scan: %s\n", error.c_str());
    return 1;
  }
  int exitCode = 0;
  if (const auto save = parsed.Option("--save")) {
    const FileStatus saved = SaveBmpAsPNG(scan.image, *save);
    if (!saved.ok) {
      std::fprintf(err, "vqx scan: %s\n", saved.message.c_str());
      exitCode = 3;
    }
  }
  MeasurementReport report;
  report.file = parsed.Option("--save").value_or("simulated scan");
  report.outcome = scan.outcome;
  report.channel = setup.state.MyChannel;
  const char* shapeNames[] = {"flat", "trapezoid", "v", "round"};
  report.truth = SampleTruth{shapeNames[static_cast<int>(sample.shape)], sample.depthMm, sample.widthMm,
                             sample.flankAngle, sample.shape == synth::ChannelShape::Round ? sample.bottomRadiusMm : 0};
  if (parsed.Has("--json")) {
    JsonWriter writer;
    WriteReport(writer, report);
    std::fprintf(out, "%s\n", writer.Text().c_str());
  } else {
    std::fprintf(out, "%s\n", ReportLine(setup.state, report).c_str());
    std::fprintf(out, "sample: %s, depth %.3f mm, width %.3f mm", report.truth->shape.c_str(), sample.depthMm,
                 sample.widthMm);
    if (sample.shape == synth::ChannelShape::Trapezoid) std::fprintf(out, ", flank angle %.1f", sample.flankAngle);
    if (sample.shape == synth::ChannelShape::Round) std::fprintf(out, ", radius %.3f mm", sample.bottomRadiusMm);
    std::fprintf(out, "\n");
  }
  return exitCode;
}
