#include "platform/version_info.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/temp_folder.h"

namespace {

void WriteProgram(const std::filesystem::path& path, std::size_t junkBefore, const FileVersionRecord* record) {
  std::ofstream out(path, std::ios::binary);
  for (std::size_t i = 0; i < junkBefore; ++i) out.put(static_cast<char>(i * 7));
  if (record) out.write(reinterpret_cast<const char*>(record), sizeof *record);
  out << "tail";
}

TEST(VersionInfo, RecordAnywhereInTheFileGivesItsFourNumbers) {
  TempFolder folder;
  const FileVersionRecord record = MakeFileVersionRecord(1, 2, 3, 4);
  // At the start, in the middle, and across the reader's 1 MiB block boundary.
  for (std::size_t offset : {std::size_t{0}, std::size_t{5000}, std::size_t{(1 << 20) - 10}}) {
    WriteProgram(folder / "program", offset, &record);
    EXPECT_EQ(GetVersionInfos(folder / "program"), "1.2.3.4") << offset;
  }
  const FileVersionRecord large = MakeFileVersionRecord(65535, 0, 17, 65535);
  WriteProgram(folder / "large", 10, &large);
  EXPECT_EQ(GetVersionInfos(folder / "large"), "65535.0.17.65535");
}

TEST(VersionInfo, FileWithoutRecordOrMissingGivesQuestionMark) {
  TempFolder folder;
  WriteProgram(folder / "plain", 3000, nullptr);
  EXPECT_EQ(GetVersionInfos(folder / "plain"), "?");
  EXPECT_EQ(GetVersionInfos(folder / "absent"), "?");
  // A signature at the very end without its version words is no record.
  const FileVersionRecord record = MakeFileVersionRecord(1, 2, 3, 4);
  std::ofstream(folder / "cut", std::ios::binary).write(reinterpret_cast<const char*>(&record), 20);
  EXPECT_EQ(GetVersionInfos(folder / "cut"), "?");
}

}  // namespace
