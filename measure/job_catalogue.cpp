#include "measure/job_catalogue.h"

#include <cmath>
#include <memory>
#include <tuple>
#include <utility>

#include "measure/numbers.h"
#include "platform/ascii_case.h"
#include "platform/file_names.h"
#include "platform/file_transaction.h"
#include "platform/profile_file.h"

namespace {

constexpr std::string_view kSectionPrefix = "JOB ";
constexpr std::size_t kMaxIdLength = 40;
constexpr std::size_t kMaxNoteLength = 200;

std::string Number(double value) { return FormatFixed(value, 4); }

// The keys of one limit pair.
struct LimitKeys {
  const char* nominal;
  const char* lower;
  const char* upper;
};
constexpr LimitKeys kDepthKeys{"DEPTH", "DEPTHMIN", "DEPTHMAX"};
constexpr LimitKeys kWidthKeys{"WIDTH", "WIDTHMIN", "WIDTHMAX"};
constexpr LimitKeys kAngleKeys{"ANGLE", "ANGLEMIN", "ANGLEMAX"};

FileStatus Refused(const Job& job, const std::string& what) {
  return FileStatus::Failure("job \"" + job.id + "\": " + what);
}

FileStatus CheckLimits(const Job& job, const char* name, double nominal, const Tolerance& tolerance) {
  for (const std::optional<double>& limit : {tolerance.lower, tolerance.upper}) {
    if (limit && !std::isfinite(*limit)) return Refused(job, std::string("a limit of the ") + name + " is no number");
  }
  if (tolerance.lower && tolerance.upper && !(*tolerance.lower < *tolerance.upper)) {
    return Refused(job, std::string("the lower limit of the ") + name + " is not below the upper one");
  }
  if ((tolerance.lower && nominal < *tolerance.lower) || (tolerance.upper && nominal > *tolerance.upper)) {
    return Refused(job, std::string("the nominal ") + name + " lies outside its limits");
  }
  return FileStatus::Success();
}

// A number of the job's section; nothing when the key is missing or empty.
FileStatus ReadNumber(const ProfileSnapshot& file, const std::string& section, const std::string& id,
                      const char* key, std::optional<double>& value) {
  const std::string text = file.String(section, key, "", 64);
  value.reset();
  if (text.empty()) return FileStatus::Success();
  double number = 0;
  if (!ParseDecimal(text, number) || !std::isfinite(number)) {
    return FileStatus::Failure("job \"" + id + "\": key " + key + " is \"" + text + "\", no number");
  }
  value = number;
  return FileStatus::Success();
}

}  // namespace

std::filesystem::path JobFile(const std::filesystem::path& home) {
  return FindPathIgnoringCase(home, "VELDRAQXJOBS.INI");
}

FileStatus CheckJobId(std::string_view id) {
  if (id.empty() || id.size() > kMaxIdLength) {
    return FileStatus::Failure("a JOB ID has 1 to " + std::to_string(kMaxIdLength) + " characters");
  }
  for (const char c : id) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '[' || c == ']' || c == '=') {
      return FileStatus::Failure("the JOB ID \"" + std::string(id) + "\" holds a character a job cannot have ([, ], = or a control character)");
    }
  }
  if (id.front() == ' ' || id.back() == ' ') return FileStatus::Failure("a JOB ID starts and ends with no blank");
  return FileStatus::Success();
}

FileStatus CheckJob(const Job& job) {
  if (FileStatus id = CheckJobId(job.id); !id.ok) return id;
  if (!std::isfinite(job.depth)) return Refused(job, "it has no nominal depth (key DEPTH)");
  if (!std::isfinite(job.width)) return Refused(job, "it has no nominal width (key WIDTH)");
  if (!(job.depth >= 0.05 && job.depth <= 4)) return Refused(job, "the depth is " + Number(job.depth) + " mm, outside 0.05 .. 4 mm");
  if (!(job.width >= 0.2 && job.width <= 8)) return Refused(job, "the width is " + Number(job.width) + " mm, outside 0.2 .. 8 mm");
  if (FileStatus s = CheckLimits(job, "depth", job.depth, job.depthTolerance); !s.ok) return s;
  if (FileStatus s = CheckLimits(job, "width", job.width, job.widthTolerance); !s.ok) return s;
  if (job.angle) {
    if (!(*job.angle >= 0 && *job.angle <= 90)) return Refused(job, "the opening angle is outside 0 .. 90 degrees");
    if (FileStatus s = CheckLimits(job, "opening angle", *job.angle, job.angleTolerance); !s.ok) return s;
  } else if (job.angleTolerance.Any()) {
    return Refused(job, "limits of the opening angle need its nominal");
  }
  if (job.note.size() > kMaxNoteLength || job.note.find_first_of("\r\n") != std::string::npos) {
    return Refused(job, "the note is one line of at most " + std::to_string(kMaxNoteLength) + " characters");
  }
  return FileStatus::Success();
}

FileStatus LoadJobs(const std::filesystem::path& file, std::vector<Job>& jobs) {
  const ProfileSnapshot snapshot(file);
  if (FileStatus usable = snapshot.Usable(); !usable.ok) return usable;
  std::vector<Job> read;
  for (const std::string& section : ProfileSectionNames(snapshot.Bytes())) {
    if (section.size() <= kSectionPrefix.size() || !EqualsIgnoringAsciiCase(std::string_view(section).substr(0, kSectionPrefix.size()), kSectionPrefix)) continue;
    Job job;
    job.id = section.substr(kSectionPrefix.size());
    auto fail = [&](FileStatus status) {
      status.message = QuotedPath(file) + ": " + status.message;
      return status;
    };
    std::optional<double> depth, width, angle;
    for (const auto& [keys, nominal, tolerance] :
         {std::tuple{kDepthKeys, &depth, &job.depthTolerance}, std::tuple{kWidthKeys, &width, &job.widthTolerance},
          std::tuple{kAngleKeys, &angle, &job.angleTolerance}}) {
      for (const auto& [key, value] : {std::pair{keys.nominal, nominal}, std::pair{keys.lower, &tolerance->lower},
                                       std::pair{keys.upper, &tolerance->upper}}) {
        if (FileStatus s = ReadNumber(snapshot, section, job.id, key, *value); !s.ok) return fail(s);
      }
    }
    job.depth = depth.value_or(NAN);
    job.width = width.value_or(NAN);
    job.angle = angle;
    job.material = snapshot.String(section, "MATERIAL", "", 32);
    job.note = snapshot.String(section, "NOTE", "", kMaxNoteLength + 2);
    if (FileStatus s = CheckJob(job); !s.ok) return fail(s);
    read.push_back(std::move(job));
  }
  jobs = std::move(read);
  return FileStatus::Success();
}

std::string JobsText(const std::vector<Job>& jobs) {
  std::string text;
  for (const Job& job : jobs) {
    text += "[" + std::string(kSectionPrefix) + job.id + "]\r\n";
    auto line = [&](const char* key, const std::string& value) { text += std::string(key) + "=" + value + "\r\n"; };
    auto limits = [&](const LimitKeys& keys, const Tolerance& tolerance) {
      if (tolerance.lower) line(keys.lower, Number(*tolerance.lower));
      if (tolerance.upper) line(keys.upper, Number(*tolerance.upper));
    };
    line("DEPTH", Number(job.depth));
    limits(kDepthKeys, job.depthTolerance);
    line("WIDTH", Number(job.width));
    limits(kWidthKeys, job.widthTolerance);
    if (job.angle) {
      line("ANGLE", Number(*job.angle));
      limits(kAngleKeys, job.angleTolerance);
    }
    if (!job.material.empty()) line("MATERIAL", job.material);
    if (!job.note.empty()) line("NOTE", job.note);
  }
  return text;
}

FileStatus SaveJobs(const std::filesystem::path& home, std::string_view who, const std::vector<Job>& jobs) {
  for (const Job& job : jobs) {
    if (FileStatus s = CheckJob(job); !s.ok) return s;
  }
  std::unique_ptr<FileTransaction> step;
  if (FileStatus begun = FileTransaction::Begin(home, who, step); !begun.ok) return begun;
  step->Replace(JobFile(home), JobsText(jobs));
  return step->Commit();
}

const Job* FindJob(const std::vector<Job>& jobs, std::string_view id) {
  for (const Job& job : jobs) {
    if (EqualsIgnoringAsciiCase(job.id, id)) return &job;
  }
  return nullptr;
}
