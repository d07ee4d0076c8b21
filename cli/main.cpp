// vqx: the measurement road of VELDRA QX without a window.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

constexpr const char* kUsage =
    "usage: vqx COMMAND [OPTIONS]\n"
    "  analyse FILE...      measure tool images (.CRY) again\n"
    "  scan --simulate      take a whole scan with the simulated gauge and measure it\n"
    "  report FILE...       write the measurement report of tool images as a PDF\n"
    "  bench                time the work after a scan\n"
    "  calibrate --simulate calibrate the simulated gauge as the calibration window does\n"
    "  verify --simulate    verify the simulated gauge with the calibration of its home folder\n"
    "  jobs add|list|remove the job catalogue: nominal channels and their tolerances\n"
    "  history              the recorded measurements, as text, JSON, CSV or DFQ\n"
    "  vqx COMMAND --help   the options of a command\n"
    "  Exit codes: 0 success, 1 the scan did not run, 2 usage error,\n"
    "  3 a file could not be read or written.\n";

}  // namespace

int main(int argc, char** argv) {
  // A closed pipe is a write error the commands report (exit 3), not a silent end.
  std::signal(SIGPIPE, SIG_IGN);
  // A file-size limit (ulimit -f) makes a write fail with EFBIG, which the
  // writers report and clean up after, instead of ending the process.
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "analyse" || command == "analyze") return AnalyseCommand(args, stdout, stderr);
  if (command == "scan") return ScanCommand(args, stdout, stderr);
  if (command == "report") return ReportCommand(args, stdout, stderr);
  if (command == "bench") return BenchCommand(args, stdout, stderr);
  if (command == "calibrate") return CalibrateCommand(args, stdout, stderr);
  if (command == "verify") return VerifyCommand(args, stdout, stderr);
  if (command == "jobs") return JobsCommand(args, stdout, stderr);
  if (command == "history") return HistoryCommand(args, stdout, stderr);
  std::fprintf(stderr, "vqx: unknown command '%s' (try vqx --help)\n", command.c_str());
  return 2;
}
