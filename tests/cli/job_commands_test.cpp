// vqx jobs and the verdicts of vqx scan and analyse, as a quality engineer
// scripts them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/atomic_file.h"
#include "tests/cli/vqx_run.h"
#include "tests/temp_folder.h"

namespace {

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

TEST(JobCommands, CatalogueIsAddedListedReplacedAndRemoved) {
  TempFolder home;
  const std::string h = " --home " + home.Path().string();
  ASSERT_EQ(RunVqx("jobs add 12-345 --depth 0.52 --width 1.4 --depth-tol 0.02 --width-max 1.45 --material pertinax"
                   " --note \"Carton A\"" + h, home).exitCode, 0);
  ASSERT_EQ(RunVqx("jobs add K7 --depth 0.8 --width 3 --angle 20 --angle-tol 5" + h, home).exitCode, 0);
  VqxOutput list = RunVqx("jobs list --json" + h, home);
  ASSERT_EQ(list.exitCode, 0) << list.err;
  nlohmann::json jobs = nlohmann::json::parse(list.out);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0]["id"], "12-345");
  EXPECT_DOUBLE_EQ(jobs[0]["depthMinMm"].get<double>(), 0.50);
  EXPECT_DOUBLE_EQ(jobs[0]["depthMaxMm"].get<double>(), 0.54);
  EXPECT_TRUE(jobs[0]["widthMinMm"].is_null());
  EXPECT_EQ(jobs[0]["material"], "pertinax");
  EXPECT_EQ(jobs[0]["note"], "Carton A");
  EXPECT_DOUBLE_EQ(jobs[1]["openMaxDeg"].get<double>(), 25);

  // add replaces a job of the same ID (whatever its case); remove takes it away.
  ASSERT_EQ(RunVqx("jobs add k7 --depth 0.7 --width 3" + h, home).exitCode, 0);
  list = RunVqx("jobs list" + h, home);
  EXPECT_TRUE(Has(list.out, "k7: depth 0.700 mm, width 3.000 mm")) << list.out;
  EXPECT_FALSE(Has(list.out, "0.800")) << list.out;
  EXPECT_EQ(RunVqx("jobs remove K7" + h, home).exitCode, 0);
  const std::string kept = ReadBytes(home / "VELDRAQXJOBS.INI");
  EXPECT_FALSE(Has(kept, "[JOB k7]")) << kept;

  const struct {
    const char* arguments;
    int exitCode;
    const char* message;
  } mistakes[] = {
      {"jobs remove K7", 1, "no job \"K7\""},
      {"jobs add A --depth 0.005 --width 1", 2, "the depth is 0.0050 mm, outside 0.05 .. 4 mm"},
      {"jobs add A --depth 0.5 --width 1 --depth-tol 0.1 --depth-min 0.3", 2, "exclude each other"},
      {"jobs add A --depth 0.5 --width 1 --depth-min 0.6", 2, "the nominal depth lies outside its limits"},
      {"jobs add A]B --depth 0.5 --width 1", 2, "holds a character a job cannot have"},
      {"jobs add A --depth 0.5", 2, "add needs --depth and --width"},
      {"jobs add A --depth 0.5 --width 1 --material wood", 2, "unknown material 'wood'"},
      {"jobs frobnicate", 2, "unknown action 'frobnicate'"},
  };
  for (const auto& m : mistakes) {
    const VqxOutput run = RunVqx(std::string(m.arguments) + h, home);
    EXPECT_EQ(run.exitCode, m.exitCode) << m.arguments;
    EXPECT_TRUE(Has(run.err, m.message)) << m.arguments << ": " << run.err;
    EXPECT_EQ(ReadBytes(home / "VELDRAQXJOBS.INI"), kept) << m.arguments;
  }
  // A damaged catalogue is named, not taken as empty.
  WriteBytes(home / "VELDRAQXJOBS.INI", "[JOB A]\r\nDEPTH=abc\r\nWIDTH=1\r\n");
  const VqxOutput damaged = RunVqx("jobs list" + h, home);
  EXPECT_EQ(damaged.exitCode, 3);
  EXPECT_TRUE(Has(damaged.err, "key DEPTH is \"abc\", no number")) << damaged.err;
}

// Depth 0.48 .. 0.56 mm with the gauge's U of about 0.019 mm: 0.52 is OK,
// 0.57 cannot be decided, 0.62 is NOT OK; analyse of the saved image agrees.
TEST(JobCommands, MeasurementsAreJudgedWithTheGaugesUncertainty) {
  TempFolder home;
  WriteBytes(home / "VELDRAQX.INI", ReadBytes(std::filesystem::path(VQX_SOURCE_DIR) / "data/demo/VELDRAQX.INI"));
  const std::string h = " --home " + home.Path().string();
  ASSERT_EQ(RunVqx("jobs add M1 --depth 0.52 --depth-tol 0.04 --width 1.4 --width-tol 0.05" + h, home).exitCode, 0);
  const struct {
    const char* depth;
    const char* verdict;
    const char* depthVerdict;
  } cases[] = {{"0.52", "OK", "OK"}, {"0.57", "NOT DECIDABLE", "NOT DECIDABLE"}, {"0.62", "NOT OK", "NOT OK"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.depth);
    const std::string image = (home / (std::string(c.depth) + ".CRY")).string();
    const VqxOutput scan = RunVqx(std::string("scan --simulate --shape flat --width 1.4 --depth ") + c.depth +
                                      " --job m1 --json --save " + image + h, home);
    ASSERT_EQ(scan.exitCode, 0) << scan.err;
    const nlohmann::json result = nlohmann::json::parse(scan.out);
    EXPECT_EQ(result["job"], "M1");
    EXPECT_EQ(result["verdict"], c.verdict) << result["depthMm"];
    EXPECT_EQ(result["depthVerdict"], c.depthVerdict);
    EXPECT_EQ(result["widthVerdict"], "OK") << result["widthMm"];
    EXPECT_NEAR(result["uncertainty"]["depthMm"].get<double>(), 0.019, 0.001);
    EXPECT_FALSE(result["uncertainty"]["verified"].get<bool>());
    const VqxOutput again = RunVqx("analyse " + image + " --job M1" + h, home);
    EXPECT_TRUE(Has(again.out, std::string(", verdict ") + c.verdict + " (depth " + c.depthVerdict)) << again.out;
  }
  // Without a job nothing is judged; an unknown job is a usage error.
  EXPECT_FALSE(Has(RunVqx("scan --simulate --json" + h, home).out, "verdict"));
  const VqxOutput unknown = RunVqx("scan --simulate --job M2" + h, home);
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_TRUE(Has(unknown.err, "no job \"M2\"")) << unknown.err;
}

// Recorded measurements come back from vqx history as JSON, CSV and DFQ; a
// damaged history is named, the measurement is still shown, and the file is
// left as it was.
TEST(HistoryCommands, RecordedMeasurementsComeBack) {
  TempFolder home;
  WriteBytes(home / "VELDRAQX.INI", ReadBytes(std::filesystem::path(VQX_SOURCE_DIR) / "data/demo/VELDRAQX.INI"));
  const std::string h = " --home " + home.Path().string();
  ASSERT_EQ(RunVqx("jobs add M1 --depth 0.52 --depth-tol 0.04 --width 1.4 --width-tol 0.05 --note \"die 7, left\"" + h,
                   home).exitCode, 0);
  const VqxOutput first = RunVqx("scan --simulate --shape flat --depth 0.52 --width 1.4 --job M1 --record --json" + h, home);
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(nlohmann::json::parse(first.out)["recordId"], 1);
  const VqxOutput second = RunVqx("scan --simulate --shape flat --depth 0.62 --width 1.4 --record" + h, home);
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_TRUE(Has(second.out, ", recorded #2")) << second.out;

  const nlohmann::json records = nlohmann::json::parse(RunVqx("history --json" + h, home).out);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0]["jobId"], "M1");
  EXPECT_EQ(records[0]["verdict"], "OK");
  EXPECT_NEAR(records[0]["depthMm"].get<double>(), 0.52, 0.01);
  EXPECT_EQ(records[0]["calibration"]["pixelPerInch"], 3573);
  EXPECT_TRUE(records[1]["verdict"].is_null());  // no job
  EXPECT_TRUE(std::filesystem::exists(home / records[0]["image"].get<std::string>()));
  EXPECT_EQ(nlohmann::json::parse(RunVqx("history --json --job m1" + h, home).out).size(), 1u);
  EXPECT_EQ(nlohmann::json::parse(RunVqx("history --json --until 2000-01-01" + h, home).out).size(), 0u);

  const std::string csv = RunVqx("history --csv" + h, home).out;
  EXPECT_TRUE(csv.starts_with("id,time,purpose,serial,job_id,")) << csv;
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);
  const std::string dfq = (home / "m1.dfq").string();
  ASSERT_EQ(RunVqx("history --job M1 --dfq " + dfq + h, home).exitCode, 0);
  const std::string k = ReadBytes(dfq);
  EXPECT_TRUE(Has(k, "K1001 M1\r\nK1002 die 7, left\r\n")) << k;
  EXPECT_TRUE(Has(k, "K2110/1 0.48\r\nK2111/1 0.56\r\n")) << k;
  EXPECT_EQ(RunVqx("history --dfq x.dfq" + h, home).exitCode, 2);  // a DFQ file is one part

  // A damaged history: named, never written, and the scan still shows its result.
  for (const char* suffix : {"-wal", "-shm"}) std::filesystem::remove(home / (std::string("VELDRAQXHISTORY.sqlite") + suffix));
  WriteBytes(home / "VELDRAQXHISTORY.sqlite", "garbage, not a database");
  const VqxOutput damaged = RunVqx("scan --simulate --record" + h, home);
  EXPECT_EQ(damaged.exitCode, 3);
  EXPECT_TRUE(Has(damaged.out, "simulated scan:")) << damaged.out;
  EXPECT_TRUE(Has(damaged.err, "the measurement was not recorded")) << damaged.err;
  EXPECT_TRUE(Has(damaged.err, "it is damaged")) << damaged.err;
  EXPECT_EQ(ReadBytes(home / "VELDRAQXHISTORY.sqlite"), "garbage, not a database");
  EXPECT_EQ(RunVqx("history" + h, home).exitCode, 3);
}

}  // namespace
