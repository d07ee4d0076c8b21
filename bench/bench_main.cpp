// Entry point of vqx_bench: runs every registered benchmark (seven
// repetitions unless told otherwise), then prints the median of each beside
// its ratio to the median of CopyFrames, the copy of the 14 frames of a scan
// measured in the same run, and closes with the post-scan total, the
// measurement report beside one JPEG encoding of its picture and the
// calibration save beside writing the same bytes once.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr const char* kBaseline = "CopyFrames";
constexpr const char* kTotal = "PostScan";

double Milliseconds(const benchmark::BenchmarkReporter::Run& run) {
  const double t = run.GetAdjustedRealTime();
  switch (run.time_unit) {
    case benchmark::kNanosecond: return t / 1e6;
    case benchmark::kMicrosecond: return t / 1e3;
    case benchmark::kMillisecond: return t;
    case benchmark::kSecond: return t * 1e3;
  }
  return t;
}

// The console output as usual, keeping the medians aside.
class MedianReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians_.emplace_back(run.run_name.str(), Milliseconds(run));
      }
    }
  }

  const std::vector<std::pair<std::string, double>>& Medians() const { return medians_; }

  // The median of the benchmark `name`, whatever suffixes ("/real_time")
  // its registration added; 0 when it did not run.
  double MedianOf(const std::string& name) const {
    for (const auto& [n, ms] : medians_) {
      if (n == name || n.starts_with(name + "/")) return ms;
    }
    return 0;
  }

private:
  std::vector<std::pair<std::string, double>> medians_;
};

bool HasFlag(int argc, char** argv, const char* flag) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) return true;
  }
  return false;
}

void PrintTable(const MedianReporter& reporter) {
  const double baseline = reporter.MedianOf(kBaseline);
  std::printf("\n%-40s %12s %10s\n", "benchmark", "median ms", "x copy");
  for (const auto& [name, ms] : reporter.Medians()) {
    if (baseline > 0) {
      std::printf("%-40s %12.3f %10.2f\n", name.c_str(), ms, ms / baseline);
    } else {
      std::printf("%-40s %12.3f %10s\n", name.c_str(), ms, "-");
    }
  }
  const double report = reporter.MedianOf("MeasurementReport");
  const double jpeg = reporter.MedianOf("JpegEncodeResultPicture");
  if (report > 0 && jpeg > 0) {
    std::printf("measurement report: %.1f ms, %.2fx one JPEG encoding of its picture\n", report, report / jpeg);
  }
  const double save = reporter.MedianOf("CalibrationSave");
  const double once = reporter.MedianOf("WriteCalibrationBytesOnce");
  if (save > 0 && once > 0) {
    std::printf("calibration save: %.2f ms, %.1fx writing the same bytes once\n", save, save / once);
  }
  const double record = reporter.MedianOf("RecordMeasurement");
  const double insert = reporter.MedianOf("PlainInsert");
  if (record > 0 && insert > 0) {
    std::printf("recording a measurement: %.2f ms, %.2fx one plain INSERT of the same row\n", record, record / insert);
  }
  const double total = reporter.MedianOf(kTotal);
  if (total > 0 && baseline > 0) {
    std::printf("post-scan total: %.1f ms, %.2fx the copy of the 14 frames\n", total, total / baseline);
  } else {
    std::printf("post-scan total: not measured (run %s and %s together)\n", kTotal, kBaseline);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=7";
  std::string aggregates = "--benchmark_report_aggregates_only=true";
  if (!HasFlag(argc, argv, "--benchmark_repetitions")) args.push_back(repetitions.data());
  if (!HasFlag(argc, argv, "--benchmark_report_aggregates_only")) args.push_back(aggregates.data());
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintTable(reporter);
  return 0;
}
