// Several files replaced as one step: all or nothing, targets checked first,
// interrupted steps finished or dropped, one writer at a time.
#include "platform/file_transaction.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/profile_file.h"
#include "tests/temp_folder.h"

namespace {

std::string Read(const std::filesystem::path& file) {
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(file, bytes).ok) << file;
  return bytes;
}

void Write(const std::filesystem::path& file, const std::string& bytes) {
  ASSERT_TRUE(WriteFileAtomically(file, bytes).ok) << file;
}

// Every name below `folder` but the lock file.
std::set<std::string> Names(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).string();
    if (name != kLockName) names.insert(name);
  }
  return names;
}

FileStatus SetKey(FileTransaction& step, const std::filesystem::path& file, const std::string& key,
                  const std::string& value) {
  return step.Update(file, [&](std::string& text) {
    const ProfileEntry entry{"VELDRAQXCAL", key, value};
    return ApplyProfileEntries(text, std::span<const ProfileEntry>(&entry, 1), file);
  });
}

class FileTransactionTest : public testing::Test {
protected:
  void SetUp() override {
    std::filesystem::create_directories(home / "VELDRAQXINI");
    Write(inUse, "[VELDRAQXCAL]\r\nZFaktor=1\r\nLUTX0=0\r\n");
    Write(device, "[VELDRAQXCAL]\r\nZFaktor=1\r\n");
  }
  TempFolder folder;
  std::filesystem::path home = folder.Path();
  std::filesystem::path inUse = home / "VELDRAQX.INI";
  std::filesystem::path device = home / "VELDRAQXINI" / "00007_VELDRAQX.INI";
};

TEST_F(FileTransactionTest, CommitReplacesEveryFileAndLeavesNothingBehind) {
  ::chmod(device.c_str(), 0640);
  std::unique_ptr<FileTransaction> step;
  ASSERT_TRUE(FileTransaction::Begin(home, "test", step).ok);
  ASSERT_TRUE(SetKey(*step, inUse, "ZFaktor", "1.05").ok);
  ASSERT_TRUE(SetKey(*step, inUse, "LUTX0", "14.2").ok);  // a second change of the same file
  ASSERT_TRUE(SetKey(*step, device, "ZFaktor", "1.05").ok);
  step->Replace(home / "VELDRAQXINI" / "00007_LIN.TXT", "0.101\r\n");
  // Nothing is written before the commit.
  EXPECT_EQ(Read(inUse), "[VELDRAQXCAL]\r\nZFaktor=1\r\nLUTX0=0\r\n");
  ASSERT_TRUE(step->Commit().ok);
  EXPECT_EQ(Read(inUse), "[VELDRAQXCAL]\r\nZFaktor=1.05\r\nLUTX0=14.2\r\n");
  EXPECT_EQ(Read(device), "[VELDRAQXCAL]\r\nZFaktor=1.05\r\n");
  EXPECT_EQ(Read(home / "VELDRAQXINI" / "00007_LIN.TXT"), "0.101\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(device.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(Names(home), (std::set<std::string>{"VELDRAQX.INI", "VELDRAQXINI", "VELDRAQXINI/00007_VELDRAQX.INI",
                                                "VELDRAQXINI/00007_LIN.TXT"}));
}

TEST_F(FileTransactionTest, ATargetThatCannotBeWrittenStopsTheStepBeforeAnyFileChanges) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    const char* message;
  };
  const std::filesystem::path outside = folder.Path().parent_path() / (folder.Path().filename().string() + "_victim");
  const Case cases[] = {
      {"write-protected device file", [&] { ::chmod(device.c_str(), 0444); }, "the file is write-protected"},
      {"folder in place of the device file",
       [&] {
         std::filesystem::remove(device);
         std::filesystem::create_directory(device);
       },
       "it is a folder"},
      {"link to a file outside the home folder",
       [&] {
         Write(outside, "victim\n");
         std::filesystem::remove(device);
         std::filesystem::create_symlink(outside, device);
       },
       "outside the home folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    c.arrange();
    const std::set<std::string> before = Names(home);
    std::unique_ptr<FileTransaction> step;
    ASSERT_TRUE(FileTransaction::Begin(home, "test", step).ok);
    ASSERT_TRUE(SetKey(*step, inUse, "ZFaktor", "1.05").ok);
    step->Replace(device, "[VELDRAQXCAL]\r\nZFaktor=1.05\r\n");
    const FileStatus status = step->Commit();
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find(c.message), std::string::npos) << status.message;
    EXPECT_NE(status.message.find("00007_VELDRAQX.INI"), std::string::npos) << status.message;
    EXPECT_EQ(Read(inUse), "[VELDRAQXCAL]\r\nZFaktor=1\r\nLUTX0=0\r\n");
    EXPECT_EQ(Names(home), before);
    std::error_code ignored;
    std::filesystem::remove_all(device, ignored);
    ::chmod(device.c_str(), 0644);
  }
  EXPECT_EQ(Read(outside), "victim\n");
  std::filesystem::remove(outside);
}

TEST_F(FileTransactionTest, ALinkInsideTheHomeFolderIsFollowedAndStaysALink) {
  const std::filesystem::path real = home / "VELDRAQXINI" / "real.INI";
  std::filesystem::rename(device, real);
  std::filesystem::create_symlink("real.INI", device);
  std::unique_ptr<FileTransaction> step;
  ASSERT_TRUE(FileTransaction::Begin(home, "test", step).ok);
  ASSERT_TRUE(SetKey(*step, device, "ZFaktor", "1.05").ok);
  ASSERT_TRUE(step->Commit().ok);
  EXPECT_TRUE(std::filesystem::is_symlink(device));
  EXPECT_EQ(Read(real), "[VELDRAQXCAL]\r\nZFaktor=1.05\r\n");
}

// A process that has ended, for temporary names of a writer that is gone.
long EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST_F(FileTransactionTest, AJournalLeftByACrashIsRolledForwardStrayTemporariesRemoved) {
  const long gone = EndedProcess();
  const std::string tmp = ".tmp" + std::to_string(gone) + ".0.1";
  // The crash came after the journal and the first rename: the file in use is
  // already new, the device file's new content still waits beside it.
  Write(inUse, "new in use\r\n");
  Write(home / "VELDRAQXINI" / (".00007_VELDRAQX.INI" + tmp), "new device\r\n");
  Write(home / kJournalName, "VELDRAQX journal 1\n.VELDRAQX.INI" + tmp + "\tVELDRAQX.INI\nVELDRAQXINI/.00007_VELDRAQX.INI" +
                                 tmp + "\tVELDRAQXINI/00007_VELDRAQX.INI\nend\n");
  // A save of another writer that died before its journal: never happened.
  Write(home / (".VELDRAQX.INI.tmp" + std::to_string(gone) + ".3.4"), "half");
  // A writer that still runs keeps its temporary file.
  const std::string running = ".VELDRAQX.INI.tmp" + std::to_string(::getppid()) + ".0.9";
  Write(home / running, "in progress");

  std::unique_ptr<FileTransaction> step;
  ASSERT_TRUE(FileTransaction::Begin(home, "test", step).ok);
  EXPECT_EQ(Read(inUse), "new in use\r\n");
  EXPECT_EQ(Read(device), "new device\r\n");
  EXPECT_EQ(Names(home), (std::set<std::string>{"VELDRAQX.INI", "VELDRAQXINI", "VELDRAQXINI/00007_VELDRAQX.INI",
                                                running}));
}

TEST_F(FileTransactionTest, ADamagedJournalStopsTheNextStepAndIsKept) {
  Write(home / kJournalName, "VELDRAQX journal 1\n.VELDRAQX.INI.tmp1.0.1\tVELDRAQX.INI\n");  // no "end"
  std::unique_ptr<FileTransaction> step;
  const FileStatus status = FileTransaction::Begin(home, "test", step);
  EXPECT_FALSE(status.ok);
  EXPECT_NE(status.message.find(kJournalName), std::string::npos) << status.message;
  EXPECT_TRUE(std::filesystem::exists(home / kJournalName));
}

TEST_F(FileTransactionTest, ASecondWriterWaitsThenIsToldWhoHoldsTheLock) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  if (holder == 0) {
    std::unique_ptr<HomeLock> lock;
    if (!HomeLock::Acquire(home, "vqx calibrate", 1.0, lock).ok) ::_exit(1);
    char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(ready[1], &byte, 1);
    std::this_thread::sleep_for(std::chrono::seconds(30));
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  std::unique_ptr<FileTransaction> step;
  const FileStatus status = FileTransaction::Begin(home, "test", step, 0.2);
  EXPECT_FALSE(status.ok);
  EXPECT_NE(status.message.find("vqx calibrate (process " + std::to_string(holder) + ")"), std::string::npos)
      << status.message;
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  // The lock ends with its holder.
  EXPECT_TRUE(FileTransaction::Begin(home, "test", step, 0.2).ok);
}

}  // namespace
