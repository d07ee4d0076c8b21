// Reading and replacing files whatever lies at the path: devices, FIFOs,
// folders, links, write-protected and oversized files.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/profile_file.h"
#include "tests/temp_folder.h"

namespace {

constexpr ReadRules kSmall{100, "test file", {}, {}};

// Runs `work` in a child process; its result, or -1 when it did not finish
// within the deadline (the child is then killed), so that a read that blocks
// fails the test instead of hanging the suite.
int WithinDeadline(const std::function<int()>& work, std::chrono::seconds deadline = std::chrono::seconds(10)) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(work());
  if (child < 0) return -2;
  const auto until = std::chrono::steady_clock::now() + deadline;
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > until) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
}

// 0 when the read failed with a message naming the file and holding `reason`.
int RefusedRead(const std::filesystem::path& path, const std::string& reason) {
  std::string bytes = "kept";
  FileStatus status = ReadWholeFile(path, bytes, {1u << 20, "test file", {}, {}});
  if (status.ok || bytes != "kept") return 1;
  if (status.message.find(path.string()) == std::string::npos) return 2;
  return status.message.find(reason) == std::string::npos ? 3 : 0;
}

TEST(ReadWholeFile, RefusesWhatIsNoRegularFileWithoutBlocking) {
  TempFolder folder;
  const auto fifo = folder / "pipe.INI";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_EQ(WithinDeadline([&] { return RefusedRead(fifo, "FIFO"); }), 0);
  EXPECT_EQ(WithinDeadline([&] { return RefusedRead("/dev/zero", "device"); }), 0);
  EXPECT_EQ(WithinDeadline([&] { return RefusedRead(folder.Path(), "folder"); }), 0);
  // A profile read of the FIFO gives the default instead of waiting for a writer.
  EXPECT_EQ(WithinDeadline([&] { return ReadProfileInt("S", "K", 7, fifo) == 7 ? 0 : 1; }), 0);
  EXPECT_EQ(WithinDeadline([&] {
              std::string bytes;
              return ReadProfileFile("/dev/zero", bytes).ok ? 1 : 0;
            }),
            0);
}

TEST(ReadWholeFile, LimitAndSignature) {
  TempFolder folder;
  const auto file = folder / "data.bin";
  std::string bytes;
  WriteBytes(file, std::string(100, 'x'));
  ASSERT_TRUE(ReadWholeFile(file, bytes, kSmall).ok);
  EXPECT_EQ(bytes, std::string(100, 'x'));

  WriteBytes(file, std::string(101, 'y'));
  FileStatus status = ReadWholeFile(file, bytes, kSmall);
  EXPECT_FALSE(status.ok);
  EXPECT_NE(status.message.find(file.string()), std::string::npos) << status.message;
  EXPECT_NE(status.message.find("100 bytes, the limit for a test file"), std::string::npos) << status.message;
  EXPECT_EQ(bytes, std::string(100, 'x'));
  status = ReadWholeFile(file, bytes, {kMaxTextFileBytes, "settings file", {}, {}});
  ASSERT_TRUE(status.ok);
  WriteBytes(file, std::string(kMaxTextFileBytes + 1, 'z'));
  status = ReadWholeFile(file, bytes, {kMaxTextFileBytes, "settings file", {}, {}});
  EXPECT_NE(status.message.find("16 MB, the limit for a settings file"), std::string::npos) << status.message;

  const ReadRules png{1000, "tool image", "\x89PNG", "PNG file"};
  WriteBytes(file, "\x89PNG rest");
  ASSERT_TRUE(ReadWholeFile(file, bytes, png).ok);
  EXPECT_EQ(bytes, "\x89PNG rest");
  for (const char* wrong : {"", "\x89PN", "GIF89a..."}) {
    WriteBytes(file, wrong);
    status = ReadWholeFile(file, bytes, png);
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find("is not a PNG file"), std::string::npos) << status.message;
  }
  EXPECT_FALSE(ReadWholeFile(folder / "missing", bytes, kSmall).ok);
}

class SaveTargetTest : public testing::Test {
protected:
  TempFolder folder_;
};

TEST_F(SaveTargetTest, NonRegularTargetsAreRefusedAndLeftAlone) {
  const auto fifo = folder_ / "pipe.CRY";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const auto dir = folder_ / "folder.CRY";
  std::filesystem::create_directory(dir);
  std::vector<std::pair<std::filesystem::path, std::string>> targets = {{fifo, "FIFO"}, {dir, "folder"}};
  // A device node of our own (the null device's numbers) where the process may make one.
  const auto device = folder_ / "device.jpg";
  if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) targets.push_back({device, "device"});
  for (const auto& [target, reason] : targets) {
    const int result = WithinDeadline([&] {
      FileStatus status = WriteFileAtomically(target, "new");
      if (status.ok) return 1;
      return status.message.find(reason) != std::string::npos ? 0 : 2;
    });
    EXPECT_EQ(result, 0) << target;
    struct stat info {};
    ASSERT_EQ(::lstat(target.c_str(), &info), 0);
    EXPECT_FALSE(S_ISREG(info.st_mode)) << target;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()), {}),
            static_cast<long>(targets.size()));
}

TEST_F(SaveTargetTest, WriteProtectedFilesAreRefused) {
  const auto file = folder_ / "CAL.INI";
  WriteBytes(file, "old");
  ::chmod(file.c_str(), 0444);
  FileStatus status = WriteFileAtomically(file, "new");
  EXPECT_FALSE(status.ok);
  EXPECT_NE(status.message.find("write-protected"), std::string::npos) << status.message;
  EXPECT_EQ(ReadBytes(file), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()), {}), 1);
}

TEST_F(SaveTargetTest, LinksAreFollowedAndStayLinks) {
  std::filesystem::create_directory(folder_ / "real");
  const auto real = folder_ / "real" / "CAL.INI";
  WriteBytes(real, "old");
  ::chmod(real.c_str(), 0640);
  const auto link = folder_ / "link.INI";
  std::filesystem::create_symlink("real/CAL.INI", link);
  const auto chain = folder_ / "chain.INI";
  std::filesystem::create_symlink("link.INI", chain);

  ASSERT_TRUE(WriteFileAtomically(chain, "new").ok);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_symlink(chain));
  EXPECT_EQ(ReadBytes(real), "new");
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  // The temporary file was made beside the target, and is gone.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_ / "real"), {}), 1);

  // A link to nothing creates the file it names.
  const auto dangling = folder_ / "dangling.INI";
  std::filesystem::create_symlink("real/NEW.INI", dangling);
  ASSERT_TRUE(WriteFileAtomically(dangling, "created").ok);
  EXPECT_TRUE(std::filesystem::is_symlink(dangling));
  EXPECT_EQ(ReadBytes(folder_ / "real" / "NEW.INI"), "created");

  // A loop of links is an error, not a hang.
  std::filesystem::create_symlink("loopB", folder_ / "loopA");
  std::filesystem::create_symlink("loopA", folder_ / "loopB");
  EXPECT_FALSE(WriteFileAtomically(folder_ / "loopA", "x").ok);
}

TEST_F(SaveTargetTest, OwnerAndModeAreKept) {
  const auto file = folder_ / "owned.INI";
  WriteBytes(file, "old");
  ::chmod(file.c_str(), 0604);
  // Another owner can only be given by a privileged process; otherwise the
  // file keeps ours, which the replacement must keep as well.
  const bool privileged = ::chown(file.c_str(), 4321, 4322) == 0;
  ASSERT_TRUE(WriteFileAtomically(file, "new").ok);
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0604u);
  EXPECT_EQ(info.st_uid, privileged ? 4321u : ::getuid());
  EXPECT_EQ(info.st_gid, privileged ? 4322u : ::getgid());
  EXPECT_EQ(ReadBytes(file), "new");
}

}  // namespace
