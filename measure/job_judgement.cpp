#include "measure/job_judgement.h"

#include <vector>

JobLookup FindJobContext(const std::filesystem::path& home, const std::string& jobId, const MeasureState& state,
                         const std::filesystem::path& calibrationFile, JobContext& context, FileStatus& status) {
  std::vector<Job> jobs;
  status = LoadJobs(JobFile(home), jobs);
  if (!status.ok) return JobLookup::Unreadable;
  const Job* job = FindJob(jobs, jobId);
  if (!job) {
    status = FileStatus::Failure("no job \"" + jobId + "\" in " + QuotedPath(JobFile(home)) + " (vqx jobs add)");
    return JobLookup::Unknown;
  }
  UncertaintyBudget budget;
  status = ReadUncertaintyBudget(state, calibrationFile, budget);
  if (!status.ok) return JobLookup::Unreadable;
  context = JobContext{*job, ExpandedUncertainty(budget), budget.verified};
  return JobLookup::Found;
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
