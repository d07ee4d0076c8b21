#include "imaging/trapez.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/fast_round.h"
#include "imaging/parallel_rows.h"

namespace {

// Source column of every destination column 0..Width-2 of row y.
void RowSources(int width, int y, int y0, double Faktor, std::vector<int>& sources) {
  const int Breite = width - 2;
  const int mitte = Breite / 2;
  const int rechts = Breite - 2;
  sources.resize(static_cast<std::size_t>(Breite) + 1);
  const double rowFactor = (static_cast<double>(y) - static_cast<double>(y0)) * Faktor;
  for (int x = 0; x <= Breite; ++x) {
    const int offset = x + pixel::RoundInt(rowFactor * static_cast<double>(mitte - x) / static_cast<double>(Breite));
    if (offset < 0) {
      sources[x] = 0;
    } else if (offset < Breite) {
      sources[x] = offset;
    } else {
      sources[x] = rechts;
    }
  }
}

// A row's source columns as runs of consecutive columns: with the small
// factors of real gauges a row is a few long runs, each one memory copy.
struct Run {
  int to, from, length;
};

void ColumnRuns(const std::vector<int>& sources, std::vector<Run>& runs) {
  runs.clear();
  const int columns = static_cast<int>(sources.size());
  for (int x = 0; x < columns;) {
    int length = 1;
    while (x + length < columns && sources[x + length] == sources[x] + length) ++length;
    runs.push_back({x, sources[x], length});
    x += length;
  }
}

void GatherRow(const std::uint8_t* source, std::uint8_t* destination, const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    std::memcpy(destination + 3 * static_cast<std::size_t>(run.to), source + 3 * static_cast<std::size_t>(run.from),
                3 * static_cast<std::size_t>(run.length));
  }
}

bool TooNarrow(const Bitmap& bitmap) { return bitmap.Width() < 4; }

void CopyNarrow(const Bitmap& source, Bitmap& destination) {
  const std::size_t bytes = static_cast<std::size_t>(destination.Width() - 1) * 3;
  for (int y = 0; y < destination.Height(); ++y) std::memmove(destination.Row(y), source.Row(y), bytes);
}

}  // namespace

bool TrapezLin(const Bitmap& sbmp, Bitmap& dbmp, int y0, double Faktor) {
  if (sbmp.Width() < dbmp.Width() || sbmp.Height() < dbmp.Height()) return false;
  if (&sbmp == &dbmp) {
    const Bitmap copy = sbmp;
    return TrapezLin(copy, dbmp, y0, Faktor);
  }
  if (dbmp.Empty()) return true;
  if (TooNarrow(dbmp)) {
    CopyNarrow(sbmp, dbmp);
    return true;
  }
  ParallelRows(0, dbmp.Height(), [&](int first, int last) {
    std::vector<int> sources;
    std::vector<Run> runs;
    for (int y = first; y < last; ++y) {
      RowSources(dbmp.Width(), y, y0, Faktor, sources);
      ColumnRuns(sources, runs);
      GatherRow(sbmp.Row(y), dbmp.Row(y), runs);
    }
  });
  return true;
}

void TrapezLinFrames(std::span<Bitmap> frames, int y0, double Faktor) {
  if (frames.empty()) return;
  const Bitmap& first = frames.front();
  std::vector<Bitmap*> alike;
  for (Bitmap& frame : frames) {
    if (frame.Width() == first.Width() && frame.Height() == first.Height()) {
      alike.push_back(&frame);
    } else {
      TrapezLin(frame, frame, y0, Faktor);
    }
  }
  if (first.Empty() || TooNarrow(first)) {
    for (Bitmap* frame : alike) TrapezLin(*frame, *frame, y0, Faktor);
    return;
  }
  ParallelRows(0, first.Height(), [&](int begin, int end) {
    std::vector<int> sources;
    std::vector<Run> runs;
    std::vector<std::uint8_t> original(first.RowBytes());
    for (int y = begin; y < end; ++y) {
      RowSources(first.Width(), y, y0, Faktor, sources);
      ColumnRuns(sources, runs);
      for (Bitmap* frame : alike) {
        std::memcpy(original.data(), frame->Row(y), original.size());
        GatherRow(original.data(), frame->Row(y), runs);
      }
    }
  });
}
