#pragma once

// The job catalogue of a home folder, "VELDRAQXJOBS.INI": for each JOB ID
// the channel the matrix must have (nominal depth and width in millimetres
// with their limits, optionally the opening angle in degrees), its material
// and a note. One section "[JOB <id>]" per job; the program writes the file
// whole, as one step under the home folder's lock. JOB IDs match without
// regard to case, as the sections of a settings file do.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "measure/verdict.h"
#include "platform/file_status.h"

struct Job {
  std::string id;
  double depth = 0;  // mm
  double width = 0;  // mm
  Tolerance depthTolerance;
  Tolerance widthTolerance;
  std::optional<double> angle;  // opening angle, degrees
  Tolerance angleTolerance;
  std::string material;  // "steel", "bevel", "pertinax" or empty
  std::string note;
};

std::filesystem::path JobFile(const std::filesystem::path& home);

// 1 to 40 characters, none of them a control character, "[", "]" or "=".
FileStatus CheckJobId(std::string_view id);
// The ID, a depth of 0.05 .. 4 mm and a width of 0.2 .. 8 mm (the channels
// a gauge measures), each limit a number with lower below upper and the
// nominal between them, an angle of 0 .. 90 degrees, a note on one line.
FileStatus CheckJob(const Job& job);

// The jobs of the file in its order; none for a missing file. A file that
// cannot be read or holds a job that CheckJob refuses is refused whole: the
// message names the file, the job and the key.
FileStatus LoadJobs(const std::filesystem::path& file, std::vector<Job>& jobs);
// The file's text for `jobs`.
std::string JobsText(const std::vector<Job>& jobs);
// Writes `jobs` as the catalogue of `home`; `who` is named to a writer that waits.
FileStatus SaveJobs(const std::filesystem::path& home, std::string_view who, const std::vector<Job>& jobs);

const Job* FindJob(const std::vector<Job>& jobs, std::string_view id);
