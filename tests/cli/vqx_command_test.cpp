// The vqx program as a user runs it: outputs, exit codes, bad files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <string>

#include "imaging/profile_row.h"
#include "imaging/tool_image.h"
#include "tests/cli/vqx_run.h"
#include "tests/temp_folder.h"

namespace {

using VqxRun = VqxOutput;

VqxRun Vqx(const std::string& arguments, const TempFolder& folder) { return RunVqx(arguments, folder); }

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
  // Every file has its object, the failed ones with the reason.
  const nlohmann::json array = nlohmann::json::parse(run.out);
  ASSERT_EQ(array.size(), 3u);
  EXPECT_EQ(array[0]["status"], "error");
  EXPECT_NE(array[0]["error"].get<std::string>().find("missing.CRY"), std::string::npos);
  EXPECT_EQ(array[1]["status"], "measured");
  EXPECT_EQ(array[2]["status"], "error");
  EXPECT_NE(array[2]["error"].get<std::string>().find("not a PNG file"), std::string::npos);

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
  EXPECT_NE(run.out.find(", bottom radius "), std::string::npos);
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
      "analyse x.CRY --level -7",
      "analyse x.CRY --level -1.5",
      "analyse x.CRY --json --json-lines",
      "analyse x.CRY y.CRY --save z.CRY",
      "analyse x.CRY --save z.png",
      "scan",
      "scan --simulate --shape hexagon",
      "scan --simulate --depth -1",
      "scan --simulate --width",
      "scan --simulate --seed 1.5",
      "scan --simulate --seed -1",
      "scan --simulate --seed 4294967296",
      "scan --simulate --seed 7x",
      "scan --simulate --shape round --angle 10",
      "scan --simulate --radius 0.3",
      "scan --simulate --angle 60",                                   // flanks meet above the bottom
      "scan --simulate --shape round --depth 0.5 --width 1 --radius 0.6",  // arc misses the edges
      "scan --simulate --save result.png",
      "scan --simulate --save result.jpeg",
      "bench --runs 0",
      "report",
      "report a.CRY",
      "report a.CRY b.CRY c.CRY d.CRY --cal x.INI",
      "report a.CRY --cal x.INI --job",
  };
  // A calibration file that cannot be used is no usage error: exit 3, as for analyse.
  const VqxRun missingCal = Vqx("report a.CRY --cal /nonexistent/VELDRAQX.INI", folder);
  EXPECT_EQ(missingCal.exitCode, 3);
  EXPECT_NE(missingCal.err.find("/nonexistent/VELDRAQX.INI"), std::string::npos) << missingCal.err;
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

// Every JSON output parses, numbers carry their units, and names that are
// no UTF-8 or hold control characters stay valid JSON and harmless text.
TEST(VqxCommand, JsonOutputsParseAndCarryNumbers) {
  TempFolder folder;
  const std::string good = (folder / "good.CRY").string();
  const VqxRun scan = Vqx("scan --simulate --shape round --depth 0.6 --width 1.2 --save " + good + " --json", folder);
  ASSERT_EQ(scan.exitCode, 0) << scan.err;
  const nlohmann::json scanned = nlohmann::json::parse(scan.out);
  EXPECT_EQ(scanned["status"], "measured");
  EXPECT_EQ(scanned["file"], good);
  EXPECT_EQ(scanned["units"], "mm");
  EXPECT_EQ(scanned["shapeName"], "round");
  EXPECT_NEAR(scanned["depthMm"].get<double>(), 0.6, 0.06);
  EXPECT_NEAR(scanned["widthMm"].get<double>(), 1.2, 0.12);
  // The bottom radius itself, not the doubled radius field of the panel.
  EXPECT_NEAR(scanned["radiusMm"].get<double>(), 0.6, 0.1);
  EXPECT_TRUE(scanned["alphaVDeg"].is_null());
  EXPECT_TRUE(scanned["openDeg"].is_number());
  EXPECT_EQ(scanned["truth"]["radiusMm"], 0.6);

  const std::string odd = (folder / "odd\xff\x1b[31m.CRY").string();
  std::filesystem::copy_file(good, odd);
  const VqxRun lines = Vqx("analyse '" + good + "' '" + odd + "' '" + (folder / "none.CRY").string() + "' --json-lines",
                           folder);
  EXPECT_EQ(lines.exitCode, 3);
  std::vector<nlohmann::json> objects;
  std::size_t start = 0;
  for (std::size_t end = lines.out.find('\n'); end != std::string::npos; end = lines.out.find('\n', start)) {
    objects.push_back(nlohmann::json::parse(lines.out.substr(start, end - start)));
    start = end + 1;
  }
  ASSERT_EQ(objects.size(), 3u) << lines.out;
  EXPECT_EQ(objects[0]["depthMm"], scanned["depthMm"]);  // no --cal for either: the same defaults
  EXPECT_EQ(objects[0]["widthMm"], scanned["widthMm"]);
  EXPECT_EQ(objects[1]["file"], (folder / "odd\\xFF\x1b[31m.CRY").string());
  EXPECT_EQ(objects[1]["status"], "measured");
  EXPECT_EQ(objects[2]["status"], "error");
  // The messages on the terminal show the control characters escaped.
  EXPECT_EQ(lines.err.find('\x1b'), std::string::npos) << lines.err;

  const VqxRun text = Vqx("analyse '" + odd + "'", folder);
  EXPECT_EQ(text.out.find('\x1b'), std::string::npos);
  EXPECT_NE(text.out.find("odd\\xFF\\x1B[31m.CRY: round (shown as flat), depth "), std::string::npos) << text.out;
}

TEST(VqxCommand, AProfileWithoutLightIsNoChannel) {
  TempFolder folder;
  const std::string dark = (folder / "dark.CRY").string();
  ASSERT_TRUE(SaveBmpAsPNG(Bitmap(1280, 1024), dark).ok);
  const VqxRun text = Vqx("analyse " + dark, folder);
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find("dark.CRY: no channel found"), std::string::npos) << text.out;
  const VqxRun json = Vqx("analyse " + dark + " --json", folder);
  EXPECT_EQ(json.exitCode, 0);
  const nlohmann::json array = nlohmann::json::parse(json.out);
  EXPECT_EQ(array[0]["status"], "no channel");
  EXPECT_TRUE(array[0]["depthMm"].is_null());

  // A lit line far below the surface rows the analysis looks for: it ends
  // before the edges, and says so.
  Bitmap low(1280, 1024);
  TProfileLine line;
  line.fill(900);
  PackProfileRow(low, line);
  const std::string lowFile = (folder / "low.CRY").string();
  ASSERT_TRUE(SaveBmpAsPNG(low, lowFile).ok);
  const VqxRun lowRun = Vqx("analyse " + lowFile + " --json", folder);
  EXPECT_EQ(lowRun.exitCode, 0);
  EXPECT_EQ(nlohmann::json::parse(lowRun.out)[0]["status"], "no channel") << lowRun.out;
}

// A --cal file that cannot be used is an error with its reason, never a
// quiet fall-back to the defaults.
TEST(VqxCommand, UnusableCalibrationFilesExitThree) {
  TempFolder folder;
  const std::string fifo = (folder / "pipe.INI").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::string noScale = (folder / "noscale.INI").string();
  std::ofstream(noScale) << "[VELDRAQXCAL]\r\nPixelPerInch=0\r\n";
  const std::pair<std::string, std::string> cases[] = {
      {(folder / "missing.INI").string(), "No such file"},
      {folder.Path().string(), "folder"},
      {fifo, "FIFO"},
      {"/dev/zero", "device"},
      {noScale, "key PixelPerInch of section [VELDRAQXCAL] is 0, outside 1800 .. 7200"},
  };
  for (const auto& [cal, reason] : cases) {
    for (const char* command : {"analyse x.CRY --cal ", "scan --simulate --cal "}) {
      const VqxRun run = Vqx(command + cal, folder);
      EXPECT_EQ(run.exitCode, 3) << command << cal;
      EXPECT_NE(run.err.find(reason), std::string::npos) << command << cal << ": " << run.err;
      EXPECT_TRUE(run.out.empty());
    }
  }
  // DIGITS beyond 4 in a hand-edited file shows 4 decimals.
  const std::string image = (folder / "x.CRY").string();
  ASSERT_EQ(Vqx("scan --simulate --save " + image, folder).exitCode, 0);
  const std::string digits = (folder / "digits.INI").string();
  std::ofstream(digits) << "[VELDRAQX]\r\nDIGITS=9\r\n";
  const VqxRun run = Vqx("analyse " + image + " --cal " + digits + " --json", folder);
  const std::string depth = nlohmann::json::parse(run.out)[0]["depthText"];
  EXPECT_EQ(depth.size() - depth.find('.') - 1, 4u) << depth;
}

TEST(VqxCommand, SavesOnlyWhereItCanAndSaysSo) {
  TempFolder folder;
  const std::string jpeg = (folder / "result.JPG").string();
  const VqxRun saved = Vqx("scan --simulate --save " + jpeg, folder);
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  EXPECT_EQ(ReadBytes(jpeg).substr(0, 3), "\xFF\xD8\xFF");
  EXPECT_EQ(saved.out.rfind(jpeg + ": ", 0), 0u) << saved.out;

  const std::string fifo = (folder / "pipe.CRY").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::string locked = (folder / "locked.CRY").string();
  std::ofstream(locked) << "old";
  ::chmod(locked.c_str(), 0444);
  for (const std::string& target : {fifo, locked, (folder / "no" / "x.CRY").string()}) {
    const VqxRun run = Vqx("scan --simulate --save " + target, folder);
    EXPECT_EQ(run.exitCode, 3) << target;
    EXPECT_EQ(run.out.rfind("simulated scan: ", 0), 0u) << run.out;  // not named as saved
    EXPECT_NE(run.err.find(target), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadBytes(locked), "old");
  struct stat info {};
  ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));

  // The tool image saved again by analyse is the same tool image.
  const std::string tool = (folder / "tool.CRY").string();
  ASSERT_EQ(Vqx("scan --simulate --save " + tool, folder).exitCode, 0);
  const std::string again = (folder / "again.cry").string();
  ASSERT_EQ(Vqx("analyse " + tool + " --save " + again, folder).exitCode, 0);
  Bitmap first, second;
  ASSERT_TRUE(LoadBmpAsPng(first, tool).ok);
  ASSERT_TRUE(LoadBmpAsPng(second, again).ok);
  EXPECT_TRUE(first == second);
}

TEST(VqxCommand, ResultsThatCannotBeWrittenExitThree) {
  TempFolder folder;
  const VqxRun full = Vqx("scan --simulate --json >/dev/full", folder);
  EXPECT_EQ(full.exitCode, 3);
  EXPECT_NE(full.err.find("cannot write the results"), std::string::npos) << full.err;
  // A reader that has gone: the pipe is closed before the scan ends.
  const std::string code = (folder / "code").string();
  const std::string command = "( " + VqxTimeLimit() + std::string(VQX_BINARY) + " scan --simulate 2>/dev/null; echo $? >" +
                              code + " ) | true";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadBytes(code), "3\n");
}

TEST(VqxCommand, LevelInMillimetres) {
  TempFolder folder;
  const std::string image = (folder / "x.CRY").string();
  ASSERT_EQ(Vqx("scan --simulate --shape v --depth 0.6 --width 1.2 --save " + image, folder).exitCode, 0);
  // A V channel narrows linearly: half way down it is half as wide.
  const VqxRun run = Vqx("analyse " + image + " --level 0.3 --json", folder);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const double surface = nlohmann::json::parse(Vqx("analyse " + image + " --json", folder).out)[0]["widthMm"];
  EXPECT_NEAR(nlohmann::json::parse(run.out)[0]["widthMm"].get<double>(), surface / 2, 0.1) << run.out;
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
