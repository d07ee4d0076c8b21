#include "shell/series_record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "measure/numbers.h"

std::string SeriesRecordLine(int counter, const std::string& depth, const std::string& width,
                             std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&t, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
  return std::to_string(counter) + "\t" + depth + "\t" + width + "\t" + stamp + "\r\n";
}

FileStatus StartSeriesFile(const std::filesystem::path& file) {
  std::FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) return FileStatus::Failure("Cannot create " + QuotedPath(file) + ": " + std::strerror(errno));
  if (std::fclose(f) != 0) return FileStatus::Failure("Cannot create " + QuotedPath(file) + ": " + std::strerror(errno));
  return FileStatus::Success();
}

FileStatus AppendSeriesRecord(const std::filesystem::path& file, const std::string& line) {
  std::FILE* f = std::fopen(file.c_str(), "ab");
  if (!f) return FileStatus::Failure("Cannot append to " + QuotedPath(file) + ": " + std::strerror(errno));
  const bool written = std::fwrite(line.data(), 1, line.size(), f) == line.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) return FileStatus::Failure("Cannot write " + QuotedPath(file) + ": " + std::strerror(errno));
  return FileStatus::Success();
}

Bitmap BrightnessView(const Bitmap& brBild, int position) {
  Bitmap view = brBild;
  const double a = position * 32.0;
  for (int y = 0; y < view.Height(); ++y) {
    std::uint8_t* p = view.Row(y);
    for (int x = 0; x < view.Width(); ++x, p += 3) {
      const int value = p[2] * 65536 + p[1] * 256 + p[0];
      const int g = a > 0 ? std::min(255, Round(value * 255.0 / a)) : 255;
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(g);
    }
  }
  return view;
}
