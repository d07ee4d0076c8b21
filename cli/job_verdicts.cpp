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
  const std::filesystem::path home = HomeOf(parsed);
  std::vector<Job> jobs;
  if (const FileStatus loaded = LoadJobs(JobFile(home), jobs); !loaded.ok) {
    error = loaded.message;
    exitCode = 3;
    return false;
  }
  const Job* job = FindJob(jobs, *id);
  if (!job) {
    error = "no job \"" + *id + "\" in " + QuotedPath(JobFile(home)) + " (vqx jobs add)";
    exitCode = 2;
    return false;
  }
  UncertaintyBudget budget;
  const auto cal = parsed.Option("--cal");
  if (const FileStatus read = ReadUncertaintyBudget(state, cal ? std::filesystem::path(*cal) : std::filesystem::path(),
                                                    budget);
      !read.ok) {
    error = read.message;
    exitCode = 3;
    return false;
  }
  context = JobContext{*job, ExpandedUncertainty(budget), budget.verified};
  return true;
}

Judgement JudgeMeasurement(const JobContext& context, const ResultNumbers& numbers) {
  Judgement judgement;
  judgement.jobId = context.job.id;
  judgement.depthU = context.u.depth;
  judgement.widthU = context.u.width;
  judgement.verified = context.verified;
  judgement.depth = Judge(numbers.depthMm, context.job.depthTolerance, context.u.depth);
  judgement.width = Judge(numbers.widthMm, context.job.widthTolerance, context.u.width);
  judgement.overall = Worst(judgement.depth, judgement.width);
  if (context.job.angleTolerance.Any()) {
    // The angle's uncertainty is not in the budget: its limits are taken as they stand.
    judgement.open = Judge(numbers.openDeg, context.job.angleTolerance, 0);
    judgement.overall = Worst(judgement.overall, *judgement.open);
  }
  return judgement;
}

std::string JudgementText(const Judgement& j) {
  std::string text = ", verdict " + std::string(VerdictText(j.overall)) + " (depth " + std::string(VerdictText(j.depth)) +
                     ", width " + std::string(VerdictText(j.width));
  if (j.open) text += ", opening " + std::string(VerdictText(*j.open));
  return text + ", U " + FormatFixed(j.depthU, 3) + " / " + FormatFixed(j.widthU, 3) + " mm)";
}
