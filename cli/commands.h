#pragma once

// The vqx commands. Each takes its arguments (without the command name),
// writes its result to `out` and its messages to `err`, and returns the exit
// code: 0 success, 2 usage error, 3 a file could not be read or written.

#include <cstdio>
#include <string>
#include <vector>

int AnalyseCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
int ScanCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
int CalibrateCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
int VerifyCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
int ReportCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
int JobsCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
int HistoryCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
int BenchCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
