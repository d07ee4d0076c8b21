#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

namespace {

FileStatus SystemFailure(const std::string& what, const std::filesystem::path& path, int error) {
  return FileStatus::Failure(what + " " + QuotedPath(path) + ": " + std::strerror(error));
}

std::string SizeText(std::uintmax_t bytes) {
  constexpr std::uintmax_t kMegabyte = 1u << 20;
  if (bytes % kMegabyte == 0) return std::to_string(bytes / kMegabyte) + " MB";
  return std::to_string(bytes) + " bytes";
}

FileStatus TooLarge(const std::filesystem::path& path, const ReadRules& rules) {
  return FileStatus::Failure("Cannot read " + QuotedPath(path) + ": it is larger than " + SizeText(rules.maxBytes) +
                             ", the limit for a " + std::string(rules.kind.empty() ? "file" : rules.kind));
}

// Reads until `count` bytes are in `out` or the file ends; false on an error.
bool ReadUpTo(int fd, std::string& out, std::size_t count) {
  char buffer[65536];
  while (out.size() < count) {
    const std::size_t wanted = std::min(sizeof buffer, count - out.size());
    const ssize_t got = ::read(fd, buffer, wanted);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    out.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

}  // namespace

std::filesystem::path TemporaryNameFor(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  static thread_local std::mt19937 random{std::random_device{}()};
  std::string name = "." + path.filename().string() + ".tmp" + std::to_string(::getpid()) + "." +
                     std::to_string(counter++) + "." + std::to_string(random() % 1000000);
  return path.parent_path() / name;
}

long TemporaryNameProcess(std::string_view name) {
  // ".NAME.tmpPID.COUNTER.RANDOM"
  if (name.size() < 2 || name[0] != '.') return 0;
  const std::size_t tmp = name.rfind(".tmp");
  if (tmp == std::string_view::npos || tmp == 0) return 0;
  std::string_view rest = name.substr(tmp + 4);
  long pid = 0;
  int numbers = 0;
  bool digit = false;
  for (char c : rest) {
    if (c >= '0' && c <= '9') {
      if (numbers == 0 && pid < 100000000) pid = pid * 10 + (c - '0');
      digit = true;
    } else if (c == '.' && digit) {
      ++numbers;
      digit = false;
    } else {
      return 0;
    }
  }
  return numbers == 2 && digit ? pid : 0;
}

bool WriteAllBytes(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool FollowLinks(const std::filesystem::path& path, std::filesystem::path& target, int& error) {
  target = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0) {
      if (errno == ENOENT) return true;
      error = errno;
      return false;
    }
    if (!S_ISLNK(info.st_mode)) return true;
    std::error_code failure;
    std::filesystem::path next = std::filesystem::read_symlink(target, failure);
    if (failure) {
      error = failure.value();
      return false;
    }
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  error = ELOOP;
  return false;
}


std::string NotARegularFile(unsigned mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISFIFO(mode)) return "it is a pipe (FIFO), not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
  if (S_ISSOCK(mode)) return "it is a socket, not a file";
  return "it is not a regular file";
}

FileStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes, const ReadRules& rules) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return SystemFailure("Cannot open", path, errno);
  if (std::string why = NotARegularFile(info.st_mode); !why.empty()) {
    return FileStatus::Failure("Cannot read " + QuotedPath(path) + ": " + why);
  }
  if (static_cast<std::uintmax_t>(info.st_size) > rules.maxBytes) return TooLarge(path, rules);
  // Non-blocking, so that a file swapped for a FIFO since the check cannot
  // hold the open; the descriptor is checked again below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return SystemFailure("Cannot open", path, errno);
  FileStatus status = FileStatus::Success();
  std::string content;
  if (::fstat(fd, &info) != 0) {
    status = SystemFailure("Cannot read", path, errno);
  } else if (std::string why = NotARegularFile(info.st_mode); !why.empty()) {
    status = FileStatus::Failure("Cannot read " + QuotedPath(path) + ": " + why);
  } else if (static_cast<std::uintmax_t>(info.st_size) > rules.maxBytes) {
    status = TooLarge(path, rules);
  } else if (!ReadUpTo(fd, content, rules.signature.size())) {
    status = SystemFailure("Cannot read", path, errno);
  } else if (std::string_view(content) != rules.signature) {
    status = FileStatus::Failure(QuotedPath(path) + " is not a " + std::string(rules.signatureKind));
  } else {
    // One byte more than allowed tells a file that grew beyond the limit.
    const std::size_t allowed = static_cast<std::size_t>(rules.maxBytes);
    content.reserve(static_cast<std::size_t>(info.st_size));
    if (!ReadUpTo(fd, content, allowed + 1)) {
      status = SystemFailure("Cannot read", path, errno);
    } else if (content.size() > allowed) {
      status = TooLarge(path, rules);
    }
  }
  ::close(fd);
  if (status.ok) bytes = std::move(content);
  return status;
}

FileStatus WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::path target;
  int error = 0;
  if (!FollowLinks(path, target, error)) return SystemFailure("Cannot write", path, error);
  struct stat old {};
  const bool hadFile = ::stat(target.c_str(), &old) == 0;
  if (hadFile) {
    if (std::string why = NotARegularFile(old.st_mode); !why.empty()) {
      return FileStatus::Failure("Cannot write " + QuotedPath(path) + ": " + why);
    }
    // The permission bits count also for a process that could write anyway.
    if ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
      return FileStatus::Failure("Cannot write " + QuotedPath(path) + ": the file is write-protected");
    }
  }
  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporary = TemporaryNameFor(target);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return SystemFailure("Cannot create a file beside", path, errno);
  if (hadFile) {
    // Owner and group where allowed (a failure keeps the writer's own); the
    // mode after them, as a change of owner may clear set-id bits.
    [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
  }
  bool ok = WriteAllBytes(fd, bytes) && (!hadFile || ::fchmod(fd, old.st_mode & 07777) == 0) && ::fsync(fd) == 0;
  error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    return SystemFailure("Cannot write", path, error);
  }
  SyncFolder(target.parent_path());
  return FileStatus::Success();
}
