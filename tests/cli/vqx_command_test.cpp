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
      "report",
      "report a.CRY",
      "report a.CRY b.CRY c.CRY d.CRY --cal x.INI",
      "report a.CRY --cal /nonexistent/VELDRAQX.INI",
      "report a.CRY --cal x.INI --job",
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
  for (const char* command : {"--help", "analyse --help", "scan --help", "bench --help", "report --help"}) {
    const VqxRun run = Vqx(command, folder);
    EXPECT_EQ(run.exitCode, 0) << command;
    EXPECT_NE(run.out.find("usage: vqx"), std::string::npos) << command;
  }
}

// Text of a report as pdftotext reads it.
std::string PdfText(const std::string& pdf) {
  std::string out;
  FILE* pipe = ::popen(("pdftotext '" + pdf + "' - 2>/dev/null").c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST(VqxCommand, ReportOfOneScanAndOfStoredScans) {
  TempFolder folder;
  const std::string v = (folder / "v.CRY").string(), h = (folder / "h.CRY").string();
  ASSERT_EQ(Vqx("scan --simulate --shape round --depth 0.6 --width 1.2 --save " + v, folder).exitCode, 0);
  ASSERT_EQ(Vqx("scan --simulate --shape v --depth 0.4 --width 0.9 --save " + h, folder).exitCode, 0);
  const std::string ini = (folder / "VELDRAQX.INI").string();
  std::ofstream(ini) << "[VELDRAQX]\r\nSERIAL=57\r\nSHOWOPEN=1\r\n[VELDRAQXCAL]\r\nCALVER=1\r\n";
  std::ofstream(folder / "PRLOGO.txt") << "Die Works Example\r\nHall B\r\n";
  const std::string home = folder.Path().string();

  const VqxRun one = Vqx("report " + v + " --cal " + ini + " --home " + home + " --job 'A/7'", folder);
  ASSERT_EQ(one.exitCode, 0) << one.err;
  const std::string onePath = FirstLine(one.out);
  EXPECT_EQ(std::filesystem::path(onePath).parent_path(), folder.Path() / "Reports");
  EXPECT_EQ(std::filesystem::path(onePath).filename().string().rfind("VQX_A_7_", 0), 0u) << onePath;
  const std::string oneText = PdfText(onePath);
  for (const char* expected : {"VELDRA QX Report", "Serial Number: 00057", "Die Works Example", "Hall B", "Steel", onePath.c_str()}) {
    EXPECT_NE(oneText.find(expected), std::string::npos) << expected << " in " << oneText;
  }

  const VqxRun two = Vqx("report " + v + " " + h + " --cal " + ini + " --home " + home, folder);
  ASSERT_EQ(two.exitCode, 0) << two.err;
  const std::string twoText = PdfText(FirstLine(two.out));
  EXPECT_NE(twoText.find("Vertical"), std::string::npos) << twoText;
  EXPECT_NE(twoText.find("Horizontal"), std::string::npos);
  EXPECT_EQ(twoText.find("Diagonal"), std::string::npos);
  EXPECT_NE(twoText.find("JOB ID::"), std::string::npos);
  EXPECT_NE(twoText.find("DEFAULT"), std::string::npos);
}

TEST(VqxCommand, ReportHeadingsInTheLanguageOfTheSettings) {
  TempFolder folder;
  const std::string a = (folder / "a.CRY").string();
  ASSERT_EQ(Vqx("scan --simulate --save " + a, folder).exitCode, 0);
  const std::string ini = (folder / "VELDRAQX.INI").string();
  std::ofstream(ini) << "[VELDRAQX]\r\nLanguage=Japanese\r\n";
  const VqxRun run = Vqx("report " + a + " " + a + " " + a + " --cal " + ini + " --home " + folder.Path().string(), folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // Neither Arial Unicode MS nor Meiryo here: the message, and the report all the same.
  EXPECT_NE(run.err.find("<Arial Unicode MS>"), std::string::npos) << run.err;
  const std::string text = PdfText(FirstLine(run.out));
  for (const char* heading : {"\u7e26\u65b9\u5411", "\u6a2a\u65b9\u5411", "\u659c\u3081\u65b9\u5411", "\u30b8\u30e7\u30d6ID::", "\u30b9\u30c1\u30fc\u30eb"}) {
    EXPECT_NE(text.find(heading), std::string::npos) << heading << " in " << text;
  }
}

TEST(VqxCommand, ReportFailuresNameTheFile) {
  TempFolder folder;
  const std::string a = (folder / "a.CRY").string();
  ASSERT_EQ(Vqx("scan --simulate --save " + a, folder).exitCode, 0);
  const std::string ini = (folder / "VELDRAQX.INI").string();
  std::ofstream(ini) << "[VELDRAQX]\r\n";
  const VqxRun missing = Vqx("report " + (folder / "missing.CRY").string() + " --cal " + ini, folder);
  EXPECT_EQ(missing.exitCode, 3);
  EXPECT_NE(missing.err.find("missing.CRY"), std::string::npos) << missing.err;

  std::ofstream(folder / "Reports") << "a file where the folder belongs";
  const VqxRun blocked = Vqx("report " + a + " --cal " + ini + " --home " + folder.Path().string(), folder);
  EXPECT_EQ(blocked.exitCode, 3);
  EXPECT_TRUE(blocked.out.empty());
  EXPECT_NE(blocked.err.find("Reports/VQX_DEFAULT_"), std::string::npos) << blocked.err;
}

}  // namespace
