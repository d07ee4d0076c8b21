#include "measure/job_catalogue.h"

#include <gtest/gtest.h>

#include <cmath>

#include "measure/uncertainty.h"
#include "platform/atomic_file.h"
#include "tests/temp_folder.h"

namespace {

Job Example() {
  Job job;
  job.id = "12-345 Carton";
  job.depth = 0.52;
  job.width = 1.4;
  job.depthTolerance = {0.50, 0.54};
  job.widthTolerance = {std::nullopt, 1.45};
  job.angle = 20;
  job.angleTolerance = {15, 25};
  job.material = "pertinax";
  job.note = "Matrix 0.4 x 1.4, customer \"A\"";
  return job;
}

TEST(JobCatalogue, SavedJobsReadBackAsTheyWere) {
  TempFolder home;
  Job plain;
  plain.id = "DEFAULT";
  plain.depth = 0.8;
  plain.width = 2.5;
  ASSERT_TRUE(SaveJobs(home.Path(), "test", {Example(), plain}).ok);
  std::vector<Job> jobs;
  ASSERT_TRUE(LoadJobs(JobFile(home.Path()), jobs).ok);
  ASSERT_EQ(jobs.size(), 2u);
  const Job& read = jobs[0];
  EXPECT_EQ(read.id, "12-345 Carton");
  EXPECT_EQ(read.depth, 0.52);
  EXPECT_EQ(read.depthTolerance.lower, 0.50);
  EXPECT_EQ(read.depthTolerance.upper, 0.54);
  EXPECT_FALSE(read.widthTolerance.lower);
  EXPECT_EQ(read.widthTolerance.upper, 1.45);
  EXPECT_EQ(read.angle, 20);
  EXPECT_EQ(read.angleTolerance.upper, 25);
  EXPECT_EQ(read.material, "pertinax");
  EXPECT_EQ(read.note, Example().note);
  EXPECT_FALSE(jobs[1].depthTolerance.Any());
  EXPECT_FALSE(jobs[1].angle);
  EXPECT_EQ(FindJob(jobs, "12-345 carton"), &jobs[0]);  // IDs match without regard to case
  EXPECT_EQ(FindJob(jobs, "12-346"), nullptr);
  // No file: no jobs, no error.
  std::vector<Job> none{plain};
  EXPECT_TRUE(LoadJobs(home / "none.INI", none).ok);
  EXPECT_TRUE(none.empty());
}

TEST(JobCatalogue, JobsNoGaugeCanCheckAreRefused) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"[JOB A]\r\nDEPTH=0.005\r\nWIDTH=1\r\n", "the depth is 0.0050 mm, outside 0.05 .. 4 mm"},
      {"[JOB A]\r\nDEPTH=0.5\r\n", "it has no nominal width (key WIDTH)"},
      {"[JOB A]\r\nDEPTH=0.5\r\nWIDTH=1\r\nDEPTHMIN=0.6\r\n", "the nominal depth lies outside its limits"},
      {"[JOB A]\r\nDEPTH=0.5\r\nWIDTH=1\r\nWIDTHMIN=1.1\r\nWIDTHMAX=0.9\r\n", "lower limit of the width is not below"},
      {"[JOB A]\r\nDEPTH=abc\r\nWIDTH=1\r\n", "key DEPTH is \"abc\", no number"},
      {"[JOB A]\r\nDEPTH=0.5\r\nWIDTH=1\r\nANGLEMAX=30\r\n", "limits of the opening angle need its nominal"},
  };
  TempFolder home;
  for (const auto& c : cases) {
    WriteBytes(home / "VELDRAQXJOBS.INI", c.text);
    std::vector<Job> jobs{Example()};
    const FileStatus loaded = LoadJobs(home / "VELDRAQXJOBS.INI", jobs);
    EXPECT_FALSE(loaded.ok) << c.text;
    EXPECT_NE(loaded.message.find("job \"A\": "), std::string::npos) << loaded.message;
    EXPECT_NE(loaded.message.find(c.message), std::string::npos) << loaded.message;
    EXPECT_EQ(jobs.size(), 1u);  // unchanged
  }
  for (const char* id : {"", "A]B", "A=B", "tab\there", " A"}) {
    Job job = Example();
    job.id = id;
    EXPECT_FALSE(CheckJob(job).ok) << id;
  }
  // A job that cannot be stored is never written.
  Job bad = Example();
  bad.note = "two\nlines";
  EXPECT_FALSE(SaveJobs(home.Path(), "test", {bad}).ok);
  EXPECT_EQ(ReadBytes(home / "VELDRAQXJOBS.INI"), cases[5].text);
}

// The budget of the demo gauge's scale without a verification, and with one.
TEST(Uncertainty, BudgetOfItsDocumentedParts) {
  TempFolder home;
  MeasureState state;
  state.ImgCalibration.PixelPerInch = 3583;
  state.ImgCalibration.ZFaktor = 1.046;
  UncertaintyBudget budget;
  ASSERT_TRUE(ReadUncertaintyBudget(state, home / "VELDRAQX.INI", budget).ok);
  EXPECT_FALSE(budget.verified);
  const double pixel = 25.4 / 3583;
  EXPECT_DOUBLE_EQ(budget.pixelWidth, pixel);
  Uncertainty u = ExpandedUncertainty(budget);
  EXPECT_NEAR(u.depth, 2 * std::sqrt(1e-6 + 9e-6 + 0.015 * 0.015 / 3 + std::pow(pixel * 1.046, 2) / 12), 1e-12);
  EXPECT_NEAR(u.width, 2 * std::sqrt(1e-6 + 25e-6 + pixel * pixel / 12), 1e-12);

  WriteBytes(home / "VELDRAQX.INI",
             "[VELDRAQXUNCERTAINTY]\r\nDEPTHREPEAT=0.0011\r\nWIDTHREPEAT=0.0020\r\nLINEARITY=0.004\r\n");
  ASSERT_TRUE(ReadUncertaintyBudget(state, home / "VELDRAQX.INI", budget).ok);
  EXPECT_TRUE(budget.verified);
  u = ExpandedUncertainty(budget);
  EXPECT_NEAR(u.depth, 2 * std::sqrt(1e-6 + 1.21e-6 + 0.004 * 0.004 / 3 + std::pow(pixel * 1.046, 2) / 12), 1e-12);

  WriteBytes(home / "VELDRAQX.INI", "[VELDRAQXUNCERTAINTY]\r\nDEPTHREPEAT=5\r\n");
  const FileStatus refused = ReadUncertaintyBudget(state, home / "VELDRAQX.INI", budget);
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.message.find("key DEPTHREPEAT of section [VELDRAQXUNCERTAINTY] is \"5\""), std::string::npos)
      << refused.message;
}

}  // namespace
