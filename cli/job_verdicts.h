#pragma once

// --job ID of vqx scan and vqx analyse: the job of the home folder's
// catalogue each measurement is judged against, with the gauge's
// uncertainty from the calibration in use.

#include <optional>
#include <string>

#include "cli/arguments.h"
#include "cli/measurement_report.h"
#include "measure/job_judgement.h"

// --home DIR without --cal: the calibration of DIR ("VELDRAQX.INI" there) is
// the one to measure with; set as --cal so that PrepareSetup reads it.
void CalibrationOfHome(ParsedArguments& parsed);

// Nothing without --job. Otherwise the job of the catalogue of --home (the
// working folder without it) and the uncertainty of `calibrationFile` with
// `state`'s scale. False with a message and exit code 3 when the catalogue
// or the budget cannot be read, 2 for an unknown job.
bool PrepareJob(const ParsedArguments& parsed, const MeasureState& state, std::optional<JobContext>& context,
                std::string& error, int& exitCode);

// ", verdict OK (depth OK, width NOT DECIDABLE, U 0.019 / 0.010 mm)" for the text line.
std::string JudgementText(const Judgement& judgement);
