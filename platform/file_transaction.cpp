#include "platform/file_transaction.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <set>
#include <thread>

#include "platform/atomic_file.h"

namespace {

constexpr std::string_view kJournalHeader = "VELDRAQX journal 1";

FileStatus SystemFailure(const std::string& what, const std::filesystem::path& path, int error) {
  return FileStatus::Failure(what + " " + QuotedPath(path) + ": " + std::strerror(error));
}

// `path` inside `home` (both made absolute and free of "." and ".." and of
// links in the folders above the last name)?
bool Inside(const std::filesystem::path& path, const std::filesystem::path& home) {
  std::error_code error;
  const std::filesystem::path root = std::filesystem::weakly_canonical(home, error);
  if (error) return false;
  const std::filesystem::path folder = std::filesystem::weakly_canonical(path.parent_path(), error);
  if (error) return false;
  const std::filesystem::path full = folder / path.filename();
  auto r = root.begin();
  auto f = full.begin();
  for (; r != root.end() && !r->empty(); ++r, ++f) {
    if (f == full.end() || *r != *f) return false;
  }
  return true;
}

std::filesystem::path Relative(const std::filesystem::path& path, const std::filesystem::path& home) {
  std::error_code error;
  const std::filesystem::path root = std::filesystem::weakly_canonical(home, error);
  const std::filesystem::path full =
      std::filesystem::weakly_canonical(path.parent_path(), error) / path.filename();
  return full.lexically_relative(root);
}

bool ProcessRunning(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

}  // namespace

FileStatus HomeLock::Acquire(const std::filesystem::path& home, std::string_view who, double waitSeconds,
                             std::unique_ptr<HomeLock>& lock) {
  const std::filesystem::path file = home / kLockName;
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return SystemFailure("Cannot lock the calibration of", home, errno);
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(waitSeconds);
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) {
      const int error = errno;
      ::close(fd);
      return SystemFailure("Cannot lock the calibration of", home, error);
    }
    if (std::chrono::steady_clock::now() >= until) {
      char holder[256] = {};
      const ssize_t got = ::pread(fd, holder, sizeof holder - 1, 0);
      std::string text = got > 0 ? std::string(holder, static_cast<std::size_t>(got)) : "another program";
      while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
      ::close(fd);
      return FileStatus::Failure("The calibration of " + QuotedPath(home) + " is being changed by " + text +
                                 "; try again when it has finished");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const std::string holder = std::string(who) + " (process " + std::to_string(::getpid()) + ")\n";
  if (::ftruncate(fd, 0) == 0) {
    [[maybe_unused]] const ssize_t ignored = ::pwrite(fd, holder.data(), holder.size(), 0);
  }
  lock.reset(new HomeLock(fd));
  return FileStatus::Success();
}

HomeLock::~HomeLock() {
  // Closing releases the lock; the file stays for the next writer.
  ::close(fd_);
}

void RemoveTemporariesOfEndedWriters(const std::filesystem::path& home) {
  // The home folder and its folders (device files, reports); a writer that
  // still runs keeps its temporary file.
  std::error_code error;
  std::vector<std::filesystem::path> folders{home};
  for (const auto& entry : std::filesystem::directory_iterator(home, error)) {
    if (entry.is_directory(error) && !entry.is_symlink(error)) folders.push_back(entry.path());
  }
  for (const auto& folder : folders) {
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      const long pid = TemporaryNameProcess(entry.path().filename().string());
      if (pid != 0 && pid != ::getpid() && !ProcessRunning(pid)) std::filesystem::remove(entry.path(), error);
    }
  }
}

FileStatus RecoverInterruptedSteps(const std::filesystem::path& home) {
  const std::filesystem::path journal = home / kJournalName;
  std::set<std::filesystem::path> folders{home};
  std::error_code error;
  if (std::filesystem::exists(journal, error)) {
    std::string text;
    if (FileStatus read = ReadWholeFile(journal, text, {1u << 20, "journal", {}, {}}); !read.ok) return read;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> moves;
    std::size_t start = 0;
    bool header = false, end = false;
    while (start < text.size()) {
      std::size_t stop = text.find('\n', start);
      if (stop == std::string::npos) stop = text.size();
      const std::string line = text.substr(start, stop - start);
      start = stop + 1;
      if (!header) {
        header = line == kJournalHeader;
        if (!header) break;
      } else if (line == "end") {
        end = true;
        break;
      } else if (std::size_t tab = line.find('\t'); tab != std::string::npos) {
        const std::filesystem::path from = std::filesystem::path(line.substr(0, tab)).lexically_normal();
        const std::filesystem::path to = std::filesystem::path(line.substr(tab + 1)).lexically_normal();
        // Only names inside the home folder, as Commit writes them.
        if (from.is_absolute() || to.is_absolute() || *from.begin() == ".." || *to.begin() == "..") break;
        moves.emplace_back(home / from, home / to);
      }
    }
    if (!header || !end) {
      return FileStatus::Failure("The journal " + QuotedPath(journal) +
                                 " of an interrupted save is damaged; it was left as it is, and the calibration "
                                 "files may be mixed: check them and remove the journal");
    }
    for (const auto& [temporary, target] : moves) {
      folders.insert(target.parent_path());
      if (!std::filesystem::exists(temporary, error)) continue;  // renamed before the interruption
      if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return SystemFailure("Cannot finish the interrupted save of", target, errno);
      }
    }
    for (const auto& folder : folders) SyncFolder(folder);
    if (::unlink(journal.c_str()) != 0) return SystemFailure("Cannot remove", journal, errno);
    SyncFolder(home);
  }
  RemoveTemporariesOfEndedWriters(home);
  return FileStatus::Success();
}

FileStatus FinishInterruptedStep(const std::filesystem::path& home, double waitSeconds) {
  std::error_code error;
  if (!std::filesystem::exists(home / kJournalName, error)) {
    RemoveTemporariesOfEndedWriters(home);
    return FileStatus::Success();
  }
  std::unique_ptr<HomeLock> lock;
  if (FileStatus locked = HomeLock::Acquire(home, "a reader", waitSeconds, lock); !locked.ok) return locked;
  return RecoverInterruptedSteps(home);
}

FileTransaction::FileTransaction(std::filesystem::path home, std::unique_ptr<HomeLock> lock)
    : home_(std::move(home)), lock_(std::move(lock)) {}

FileTransaction::~FileTransaction() {
  if (!committed_) RemoveTemporaries();
}

FileStatus FileTransaction::Begin(const std::filesystem::path& home, std::string_view who,
                                  std::unique_ptr<FileTransaction>& transaction, double waitSeconds) {
  std::unique_ptr<HomeLock> lock;
  if (FileStatus locked = HomeLock::Acquire(home, who, waitSeconds, lock); !locked.ok) return locked;
  if (FileStatus recovered = RecoverInterruptedSteps(home); !recovered.ok) return recovered;
  transaction.reset(new FileTransaction(home, std::move(lock)));
  return FileStatus::Success();
}

FileTransaction::Change* FileTransaction::Find(const std::filesystem::path& file) {
  for (Change& change : changes_) {
    if (change.file == file) return &change;
  }
  return nullptr;
}

FileStatus FileTransaction::Update(const std::filesystem::path& file,
                                   const std::function<FileStatus(std::string&)>& change) {
  std::string bytes;
  if (Change* pending = Find(file)) {
    bytes = pending->bytes;
  } else {
    std::error_code error;
    const bool exists = std::filesystem::exists(std::filesystem::symlink_status(file, error));
    if (exists) {
      if (FileStatus read = ReadWholeFile(file, bytes, {kMaxTextFileBytes, "calibration file", {}, {}}); !read.ok) {
        return read;
      }
    }
  }
  if (FileStatus changed = change(bytes); !changed.ok) return changed;
  Replace(file, std::move(bytes));
  return FileStatus::Success();
}

void FileTransaction::Replace(const std::filesystem::path& file, std::string bytes) {
  if (Change* pending = Find(file)) {
    pending->bytes = std::move(bytes);
  } else {
    changes_.push_back({file, {}, {}, std::move(bytes)});
  }
}

FileStatus FileTransaction::Check(Change& change) const {
  int error = 0;
  if (!FollowLinks(change.file, change.target, error)) return SystemFailure("Cannot write", change.file, error);
  if (!Inside(change.target, home_)) {
    return FileStatus::Failure("Cannot write " + QuotedPath(change.file) + ": it is a link to " +
                               QuotedPath(change.target) + ", outside the home folder " + QuotedPath(home_));
  }
  const std::string relative = Relative(change.target, home_).string();
  if (relative.find_first_of("\t\n\r") != std::string::npos) {
    return FileStatus::Failure("Cannot write " + QuotedPath(change.file) + ": its name holds a line break or tab");
  }
  struct stat info {};
  change.existed = ::stat(change.target.c_str(), &info) == 0;
  if (change.existed) {
    if (std::string why = NotARegularFile(info.st_mode); !why.empty()) {
      return FileStatus::Failure("Cannot write " + QuotedPath(change.file) + ": " + why);
    }
    if ((info.st_mode & 0222) == 0 || ::access(change.target.c_str(), W_OK) != 0) {
      return FileStatus::Failure("Cannot write " + QuotedPath(change.file) + ": the file is write-protected");
    }
    change.mode = info.st_mode & 07777;
    change.owner = info.st_uid;
    change.group = info.st_gid;
  } else if (errno != ENOENT) {
    return SystemFailure("Cannot write", change.file, errno);
  }
  const std::filesystem::path folder = change.target.parent_path();
  if (::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0) {
    return SystemFailure("Cannot write", change.file, errno);
  }
  return FileStatus::Success();
}

void FileTransaction::RemoveTemporaries() {
  for (Change& change : changes_) {
    if (!change.temporary.empty()) ::unlink(change.temporary.c_str());
    change.temporary.clear();
  }
}

FileStatus FileTransaction::Commit() {
  if (committed_) return FileStatus::Failure("The save was already done");
  for (Change& change : changes_) {
    if (FileStatus checked = Check(change); !checked.ok) return checked;
  }
  std::set<std::filesystem::path> folders;
  for (Change& change : changes_) {
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
      change.temporary = TemporaryNameFor(change.target);
      fd = ::open(change.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
      const int error = errno;
      change.temporary.clear();
      RemoveTemporaries();
      return SystemFailure("Cannot create a file beside", change.file, error);
    }
    if (change.existed) {
      [[maybe_unused]] const int ignored = ::fchown(fd, change.owner, change.group);
    }
    bool ok = WriteAllBytes(fd, change.bytes) && (!change.existed || ::fchmod(fd, change.mode) == 0) &&
              ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
      ok = false;
      error = errno;
    }
    if (!ok) {
      RemoveTemporaries();
      return SystemFailure("Cannot write", change.file, error);
    }
    folders.insert(change.target.parent_path());
  }
  for (const auto& folder : folders) SyncFolder(folder);

  std::string journal = std::string(kJournalHeader) + "\n";
  for (const Change& change : changes_) {
    journal += Relative(change.temporary, home_).string() + "\t" + Relative(change.target, home_).string() + "\n";
  }
  journal += "end\n";
  if (FileStatus written = WriteFileAtomically(home_ / kJournalName, journal); !written.ok) {
    RemoveTemporaries();
    return written;
  }
  // From here on the step has happened: what a failure leaves undone, the
  // next step on this home folder finishes from the journal.
  committed_ = true;
  for (Change& change : changes_) {
    if (::rename(change.temporary.c_str(), change.target.c_str()) != 0) {
      return SystemFailure("The save is complete but waits to be finished: cannot replace", change.file, errno);
    }
  }
  for (const auto& folder : folders) SyncFolder(folder);
  const std::filesystem::path journalFile = home_ / kJournalName;
  if (::unlink(journalFile.c_str()) != 0) return SystemFailure("Cannot remove", journalFile, errno);
  SyncFolder(home_);
  return FileStatus::Success();
}
