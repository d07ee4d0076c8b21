#include "cli/job_verdicts.h"

#include <filesystem>

#include "measure/numbers.h"
#include "platform/file_names.h"

namespace {

std::filesystem::path HomeOf(const ParsedArguments& parsed) {
  const auto home = parsed.Option("--home");
  return home ? std::filesystem::path(*home) : std::filesystem::path(".");
}

}  // namespace

void CalibrationOfHome(ParsedArguments& parsed) {
  if (parsed.Option("--cal") || !parsed.Option("--home")) return;
  parsed.options["--cal"] = FindPathIgnoringCase(HomeOf(parsed), "VELDRAQX.INI").string();
}

bool PrepareJob(const ParsedArguments& parsed, const MeasureState& state, std::optional<JobContext>& context,
                std::string& error, int& exitCode) {
  context.reset();
  const auto id = parsed.Option("--job");
  if (!id) return true;
  const auto cal = parsed.Option("--cal");
  JobContext found;
  FileStatus status;
  switch (FindJobContext(HomeOf(parsed), *id, state, cal ? std::filesystem::path(*cal) : std::filesystem::path(), found,
                         status)) {
    case JobLookup::Found:
      context = found;
      return true;
    case JobLookup::Unknown:
      exitCode = 2;
      break;
    case JobLookup::Unreadable:
      exitCode = 3;
      break;
  }
  error = status.message;
  return false;
}

std::string JudgementText(const Judgement& j) {
  std::string text = ", verdict " + std::string(VerdictText(j.overall)) + " (depth " + std::string(VerdictText(j.depth)) +
                     ", width " + std::string(VerdictText(j.width));
  if (j.open) text += ", opening " + std::string(VerdictText(*j.open));
  return text + ", U " + FormatFixed(j.depthU, 3) + " / " + FormatFixed(j.widthU, 3) + " mm)";
}
