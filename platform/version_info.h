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

namespace version_detail {
// The signature, inverted: a program holds it as it is only in its record.
inline constexpr std::array<unsigned char, 16> kInvertedSignature = {
    0xA9, 0xAE, 0xA7, 0xB0, 0xB9, 0xB6, 0xB3, 0xBA, 0xA9, 0xBA, 0xAD, 0xAC, 0xB6, 0xB0, 0xB1, 0xFF};
}  // namespace version_detail

// The record for a program of version major.minor.release.build; a constant,
// so that the program file carries it.
constexpr FileVersionRecord MakeFileVersionRecord(int major, int minor, int release, int build) {
  FileVersionRecord r{};
  for (std::size_t i = 0; i < r.signature.size(); ++i) {
    r.signature[i] = static_cast<unsigned char>(~version_detail::kInvertedSignature[i]);
  }
  r.fileVersionMS = static_cast<std::uint32_t>(major & 0xFFFF) << 16 | static_cast<std::uint32_t>(minor & 0xFFFF);
  r.fileVersionLS = static_cast<std::uint32_t>(release & 0xFFFF) << 16 | static_cast<std::uint32_t>(build & 0xFFFF);
  return r;
}

// "major.minor.release.build" of the file's version record, or "?" when the
// file cannot be read or holds none.
std::string GetVersionInfos(const std::filesystem::path& filename);
