#pragma once

// Runs the vqx program as a user does and keeps its outputs and exit code.

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/temp_folder.h"

struct VqxOutput {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The time limit of one vqx run: a guard against a run that hangs, not a
// measure of speed, so it is wide enough for the sanitizer build on a slow
// machine (a whole simulated verification takes over a minute there).
inline std::string VqxTimeLimit() { return "timeout " + std::to_string(VQX_RUN_SECONDS) + " "; }

// Runs vqx with a time limit, so that a read that blocked fails the test
// (exit code 124) instead of hanging the suite.
inline VqxOutput RunVqx(const std::string& arguments, const TempFolder& folder) {
  const std::string errFile = (folder / "stderr.txt").string();
  const std::string command = VqxTimeLimit() + std::string(VQX_BINARY) + " " + arguments + " 2>" + errFile;
  VqxOutput run;
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
