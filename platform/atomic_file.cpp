#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace {

FileStatus SystemFailure(const std::string& what, const std::filesystem::path& path, int error) {
  return FileStatus::Failure(what + " " + QuotedPath(path) + ": " + std::strerror(error));
}

// A name no other writer uses at the same time: process id, a counter and a
// random number, hidden beside the target so the rename stays on one file system.
std::filesystem::path TemporaryNameFor(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  static thread_local std::mt19937 random{std::random_device{}()};
  std::string name = "." + path.filename().string() + ".tmp" + std::to_string(::getpid()) + "." +
                     std::to_string(counter++) + "." + std::to_string(random() % 1000000);
  return path.parent_path() / name;
}

bool WriteAll(int fd, std::string_view bytes) {
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

// Makes the rename itself durable; a failure here loses nothing, so it is not reported.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

FileStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    return FileStatus::Failure("Cannot read " + QuotedPath(path) + ": it is a folder");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return SystemFailure("Cannot open", path, errno);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return SystemFailure("Cannot read", path, errno);
  bytes = std::move(content);
  return FileStatus::Success();
}

FileStatus WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  struct stat old {};
  bool hadFile = ::stat(path.c_str(), &old) == 0;
  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporary = TemporaryNameFor(path);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return SystemFailure("Cannot create a file beside", path, errno);
  bool ok = WriteAll(fd, bytes) && (!hadFile || ::fchmod(fd, old.st_mode & 07777) == 0) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    return SystemFailure("Cannot write", path, error);
  }
  SyncFolder(path.parent_path());
  return FileStatus::Success();
}
