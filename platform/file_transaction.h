#pragma once

// Several files of one home folder replaced as one step: after a crash, a
// kill or a failed write at any moment, every file of the step holds its old
// content or every file holds its new content, also across a restart.
//
// How: Begin takes the home folder's lock (a second writer waits a short
// time, then is told who holds it) and finishes what an interrupted step left
// behind. Update collects the new contents in memory. Commit first checks
// every target (a regular file or missing, writable, inside the home folder
// also after following links), writes every new content to a temporary file
// beside its target and flushes it, then writes the journal naming them: the
// journal's rename is the moment the step happens. Then each temporary file
// is renamed over its target and the journal is removed. A journal found
// later is rolled forward (its temporary files renamed over their targets);
// temporary files without a journal are removed: the step did not happen.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_status.h"

// The journal and the lock in the home folder.
inline constexpr std::string_view kJournalName = ".VELDRAQX.journal";
inline constexpr std::string_view kLockName = ".VELDRAQX.lock";

// The home folder's lock, held while the object lives (an advisory lock of
// the whole file, released by the system when the process ends).
class HomeLock {
public:
  // Waits up to `waitSeconds` for the lock. `who` ("vqx calibrate", "the
  // calibration window") is written into the lock file, so that a writer who
  // waits in vain is told who holds it.
  static FileStatus Acquire(const std::filesystem::path& home, std::string_view who, double waitSeconds,
                            std::unique_ptr<HomeLock>& lock);
  ~HomeLock();
  HomeLock(const HomeLock&) = delete;
  HomeLock& operator=(const HomeLock&) = delete;

private:
  explicit HomeLock(int fd) : fd_(fd) {}
  int fd_;
};

// Rolls a journal of an interrupted step forward and removes temporary files
// of steps that did not happen (those of processes no longer running). The
// caller holds the home lock. The message names what could not be finished.
FileStatus RecoverInterruptedSteps(const std::filesystem::path& home);

// Removes the temporary files that writers which have ended left in `home`
// and its folders (a writer that still runs keeps its own).
void RemoveTemporariesOfEndedWriters(const std::filesystem::path& home);

// For readers: when `home` holds the journal of an interrupted step, waits
// for the lock and finishes the step, so that what is read next is all old or
// all new. Without a journal nothing is locked; temporary files of ended
// writers are removed either way.
FileStatus FinishInterruptedStep(const std::filesystem::path& home, double waitSeconds = 5.0);

class FileTransaction {
public:
  // Takes the lock of `home` (waiting up to `waitSeconds`) and recovers.
  static FileStatus Begin(const std::filesystem::path& home, std::string_view who,
                          std::unique_ptr<FileTransaction>& transaction, double waitSeconds = 5.0);

  // Changes the content of `file` in memory: `change` gets the content this
  // step already holds for it, or the file's content (empty for a missing
  // file). Nothing is written. A failure of the read or of `change` is
  // returned and the step keeps the content it had.
  FileStatus Update(const std::filesystem::path& file, const std::function<FileStatus(std::string&)>& change);
  void Replace(const std::filesystem::path& file, std::string bytes);

  // Writes every changed file as one step; false (with the file and the
  // reason) leaves every file as it was. Commit once.
  FileStatus Commit();

  ~FileTransaction();
  FileTransaction(const FileTransaction&) = delete;
  FileTransaction& operator=(const FileTransaction&) = delete;

private:
  struct Change {
    std::filesystem::path file;      // as the caller named it
    std::filesystem::path target;    // after following links
    std::filesystem::path temporary; // written by Commit
    std::string bytes;
    bool existed = false;
    unsigned mode = 0;
    unsigned owner = 0, group = 0;
  };
  FileTransaction(std::filesystem::path home, std::unique_ptr<HomeLock> lock);
  Change* Find(const std::filesystem::path& file);
  FileStatus Check(Change& change) const;
  void RemoveTemporaries();

  std::filesystem::path home_;
  std::unique_ptr<HomeLock> lock_;
  std::vector<Change> changes_;
  bool committed_ = false;
};
