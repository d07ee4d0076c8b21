#pragma once

// The measurement history of a home folder: one SQLite database,
// "VELDRAQXHISTORY.sqlite", with a record of every measurement (and of the
// captures of calibrations and verifications, marked by their purpose).
//
// Nothing is lost: the database runs in WAL mode with synchronous commits,
// so a record reported as written survives a kill or a power cut; another
// program holding it is waited for a few seconds, then named; a damaged
// database or one written by a newer program is named and never written
// to; a full disk is said.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_status.h"

inline constexpr std::string_view kHistoryFileName = "VELDRAQXHISTORY.sqlite";
// The schema this program writes; older ones are migrated on opening.
inline constexpr int kHistorySchemaVersion = 1;

struct HistoryRecord {
  long long id = 0;             // given by Record
  std::string time;             // ISO 8601 with offset, "2026-12-11T16:57:03+01:00"
  std::string purpose = "measurement";  // "measurement", "series", "calibration", "verification"
  std::string serial;
  // The calibration the measurement was made with.
  std::string calibrationFile;
  std::string calibrationTime;  // the file's modification time, ISO 8601
  double pixelPerInch = 0;
  double zFactor = 0;
  std::string table;            // the linearisation table, "x:y" pairs separated by ";"
  std::string jobId;
  std::string material;
  double level = 0;
  double fibre = 0;
  // Results: numbers in mm and degrees (none where nothing was measured) and
  // the texts as shown, with their unit.
  std::optional<double> depthMm, widthMm, radiusMm, openDeg, alphaVDeg;
  std::string depthText, widthText, radiusText, openText, units;
  int shape = 0;
  int levelOK = 0;
  // With a job: the verdicts and the gauge's U (mm, k = 2).
  std::optional<std::string> verdict, depthVerdict, widthVerdict;
  std::optional<double> depthU, widthU;
  std::string image;            // the tool image kept for it, relative to the home folder
};

struct HistoryFilter {
  std::optional<std::string> jobId;   // without regard to case
  std::optional<std::string> since;   // ISO 8601, inclusive
  std::optional<std::string> until;   // ISO 8601, inclusive
  std::optional<std::string> serial;
  std::optional<std::string> verdict;
  std::optional<std::string> purpose;
};

class HistoryDb {
public:
  // Opens (and when `create`, creates) the history of `home`. Fails with the
  // file and the reason for a damaged file, a newer schema, a database
  // locked longer than `waitSeconds`, or a folder it cannot write in.
  static FileStatus Open(const std::filesystem::path& home, std::unique_ptr<HistoryDb>& db, bool create = true,
                         double waitSeconds = 5.0);
  ~HistoryDb();
  HistoryDb(const HistoryDb&) = delete;
  HistoryDb& operator=(const HistoryDb&) = delete;

  // One record, committed before it returns; its id is set.
  FileStatus Record(HistoryRecord& record);
  // The records the filter selects, oldest first.
  FileStatus Query(const HistoryFilter& filter, std::vector<HistoryRecord>& records) const;
  const std::filesystem::path& File() const { return file_; }

private:
  HistoryDb(struct sqlite3* db, std::filesystem::path file) : db_(db), file_(std::move(file)) {}
  FileStatus Failure(const std::string& what) const;

  struct sqlite3* db_;
  std::filesystem::path file_;
};

// The present moment in ISO 8601 with the local offset.
std::string NowIso8601();
// A file's modification time in ISO 8601 with the local offset; empty when it has none.
std::string FileTimeIso8601(const std::filesystem::path& file);
