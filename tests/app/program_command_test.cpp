#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct ProgramRun {
  int exitCode = -1;
  std::string output;  // stdout and stderr
};

ProgramRun Program(const std::string& environment, const std::string& arguments) {
  ProgramRun run;
  const std::string command = environment + " '" + std::string(VQX_PROGRAM) + "' " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(ProgramCommand, HelpNoDisplayAndAMissingHomeFolder) {
  const ProgramRun help = Program("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", "--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("usage: veldra-qx"), std::string::npos) << help.output;

  const ProgramRun headless = Program("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", "--simulate");
  EXPECT_EQ(headless.exitCode, 1);
  EXPECT_NE(headless.output.find("no display"), std::string::npos) << headless.output;

  const ProgramRun noHome = Program("QT_QPA_PLATFORM=offscreen", "--home /nonexistent/home");
  EXPECT_EQ(noHome.exitCode, 2);
  EXPECT_NE(noHome.output.find("\"/nonexistent/home\" does not exist"), std::string::npos) << noHome.output;
}

}  // namespace
