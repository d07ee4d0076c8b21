#pragma once

// The file version built into a program file: a small record (a signature and
// the two 32-bit version words, most significant first) that the build
// places in the executable's data, read back from the file on disk.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

struct FileVersionRecord {
  std::array<unsigned char, 16> signature;
  std::uint32_t fileVersionMS;  // major << 16 | minor
  std::uint32_t fileVersionLS;  // release << 16 | build
};

// The record for a program of version major.minor.release.build.
FileVersionRecord MakeFileVersionRecord(int major, int minor, int release, int build);

// "major.minor.release.build" of the file's version record, or "?" when the
// file cannot be read or holds none.
std::string GetVersionInfos(const std::filesystem::path& filename);
