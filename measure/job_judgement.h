#pragma once

// A measurement judged against its job: the job of the home folder's
// catalogue, the gauge's uncertainty from the calibration in use, and the
// decision on each characteristic.

#include <filesystem>
#include <optional>
#include <string>

#include "measure/job_catalogue.h"
#include "measure/records.h"
#include "measure/result_numbers.h"
#include "measure/uncertainty.h"
#include "measure/verdict.h"
#include "platform/file_status.h"

struct JobContext {
  Job job;
  Uncertainty u;
  bool verified = false;
};

enum class JobLookup { Found, Unknown, Unreadable };

// The job `jobId` of the catalogue of `home` with the uncertainty of
// `calibrationFile` at `state`'s scale. Unknown: no such job (the message
// says so); Unreadable: the catalogue or the budget was refused.
JobLookup FindJobContext(const std::filesystem::path& home, const std::string& jobId, const MeasureState& state,
                         const std::filesystem::path& calibrationFile, JobContext& context, FileStatus& status);

// The decision on the measurement `numbers` (depth, width, opening angle).
Judgement JudgeMeasurement(const JobContext& context, const ResultNumbers& numbers);
