// The vqx program as a user runs it: outputs, exit codes, bad files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/temp_folder.h"

namespace {

struct VqxRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

VqxRun Vqx(const std::string& arguments, const TempFolder& folder) {
  const std::string errFile = (folder / "stderr.txt").string();
  const std::string command = std::string(VQX_BINARY) + " " + arguments + " 2>" + errFile;
  VqxRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errFile);
  run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
  return run;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(VqxCommand, ScanSavesAToolImageThatAnalysesToTheSameResult) {
  TempFolder folder;
  const std::string image = (folder / "sample.CRY").string();
  const VqxRun scan = Vqx("scan --simulate --shape round --depth 0.6 --width 1.2 --seed 4 --save " + image + " --json",
                       folder);
  ASSERT_EQ(scan.exitCode, 0) << scan.err;
  EXPECT_NE(scan.out.find("\"truth\":{\"shape\":\"round\",\"depthMm\":0.59999999999999998"), std::string::npos)
      << scan.out;
  EXPECT_NE(scan.out.find("\"shapeFound\":2"), std::string::npos);

  // A calibration file of an ideal gauge (all correction factors 1), as the
  // simulated scan uses without one.
  const std::string ini = (folder / "ideal.INI").string();
  std::ofstream(ini) << "[VELDRAQXCAL]\r\nCALVER=1\r\n";
  const VqxRun again = Vqx("analyse " + image + " --json --cal " + ini, folder);
  ASSERT_EQ(again.exitCode, 0) << again.err;
  // The stored image holds the line as extracted, so the analysis repeats the
  // scan's measurement field for field.
  const auto channelOf = [](const std::string& text) { return text.substr(text.find("\"channel\":")); };
  const std::string scanned = channelOf(scan.out);
  EXPECT_EQ(channelOf(again.out).substr(0, scanned.find(",\"truth\"")), scanned.substr(0, scanned.find(",\"truth\"")));
  EXPECT_EQ(again.out.front(), '[');
  // Without the show flags the round channel is shown flat.
  EXPECT_NE(again.out.find("\"shape\":0,\"shapeFound\":2"), std::string::npos) << again.out;
}

TEST(VqxCommand, UnreadableFilesAreNamedAndTheOthersStillMeasured) {
  TempFolder folder;
  const std::string good = (folder / "good.CRY").string();
  ASSERT_EQ(Vqx("scan --simulate --save " + good, folder).exitCode, 0);
  const std::string junk = (folder / "junk.CRY").string();
  std::ofstream(junk) << "not a picture";
  const std::string missing = (folder / "missing.CRY").string();

  const VqxRun run = Vqx("analyse " + missing + " " + good + " " + junk + " --json", folder);
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_NE(run.err.find("missing.CRY"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("junk.CRY"), std::string::npos) << run.err;
  EXPECT_EQ(Count(run.out, "\"file\":"), 1) << run.out;
  EXPECT_NE(run.out.find("good.CRY"), std::string::npos);

  const VqxRun text = Vqx("analyse " + good, folder);
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find("good.CRY: flat, depth "), std::string::npos) << text.out;
  EXPECT_NE(text.out.find(" mm"), std::string::npos);
}

TEST(VqxCommand, SettingsOfTheIniShapeTheTexts) {
  TempFolder folder;
  const std::string image = (folder / "v.CRY").string();
  ASSERT_EQ(Vqx("scan --simulate --shape round --depth 0.6 --width 1.2 --save " + image, folder).exitCode, 0);
  const std::string ini = (folder / "VELDRAQX.INI").string();
  std::ofstream(ini) << "[VELDRAQX]\r\nUNITS_mm=10000\r\nDIGITS=3\r\nSHOWRADIUS=1\r\nSHOWOPEN=1\r\n"
                        "[VELDRAQXCAL]\r\nCALVER=1\r\nPixelPerInch=3600\r\n";
  const VqxRun run = Vqx("analyse " + image + " --cal " + ini + " --level -3", folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find(": round, depth "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" mil"), std::string::npos) << run.out;  // mil with DIGITS - 1 decimals
  EXPECT_NE(run.out.find(", radius "), std::string::npos);
  EXPECT_NE(run.out.find(", opening "), std::string::npos);
}

TEST(VqxCommand, UsageErrorsPrintOneLineAndExitTwo) {
  TempFolder folder;
  const char* cases[] = {
      "",
      "frobnicate",
      "analyse",
      "analyse x.CRY --colour red",
      "analyse x.CRY --material wood",
      "analyse x.CRY --level deep",
      "analyse x.CRY --cal /nonexistent/VELDRAQX.INI",
      "scan",
      "scan --simulate --shape hexagon",
      "scan --simulate --depth -1",
      "scan --simulate --width",
      "bench --runs 0",
  };
  for (const char* arguments : cases) {
    const VqxRun run = Vqx(arguments, folder);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_TRUE(run.out.empty()) << arguments;
    EXPECT_GE(Count(run.err, "\n"), 1) << arguments;
    if (std::string(arguments).size() > 0) {
      EXPECT_EQ(Count(run.err, "\n"), 1) << arguments << ": " << run.err;
    }
  }
}

TEST(VqxCommand, HelpOfEveryCommand) {
  TempFolder folder;
  for (const char* command : {"--help", "analyse --help", "scan --help", "bench --help"}) {
    const VqxRun run = Vqx(command, folder);
    EXPECT_EQ(run.exitCode, 0) << command;
    EXPECT_NE(run.out.find("usage: vqx"), std::string::npos) << command;
  }
}

}  // namespace
