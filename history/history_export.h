#pragma once

// The history's records for other programs: CSV (RFC 4180: a header row,
// CR LF line ends, UTF-8, fields with a comma, a quote or a line break in
// double quotes, numbers with a point, times in ISO 8601) and Q-DAS AQDEF
// (DFQ) in the K-field form, one part per job with its depth and width as
// characteristics (docs/history.md).

#include <string>
#include <vector>

#include "history/history.h"
#include "measure/job_catalogue.h"

std::string HistoryCsv(const std::vector<HistoryRecord>& records);

// The records of one job: part K1001 = JOB ID and K1002 = its note; the
// characteristics depth (1) and width (2) with the job's nominal, limits and
// unit; each record a value of both with its date and time (K0004), JOB ID
// (K0006) and gauge serial (K0012). `job` may be null (no nominal or limits).
std::string HistoryDfq(const std::string& jobId, const Job* job, const std::vector<HistoryRecord>& records);
