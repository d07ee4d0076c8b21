#include "imaging/exposure_combination.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/byte_rows.h"
#include "imaging/frame_series.h"
#include "imaging/parallel_rows.h"
#include "imaging/profile_row.h"
#include "measure/profile.h"

namespace {

constexpr int kMostFrames = 16;
constexpr int kLineColumns = kProfileLength - 1;  // entry 1280 is never written
constexpr int kReferenceColumn = 640;

// row = m x + c. Before their first successful fit the surface line lies on
// row 0 and the floor line on the last row, so the zones stay ordered even
// when an image gives no fit at all.
struct StraightLine {
  Extended m = 0;
  Extended c = 0;
  Extended At(Extended x) const { return m * x + c; }
  Extended Height() const { return At(kReferenceColumn); }
};

// Per-column sums of a centroid. The terms are integers far below 2^63, so
// 64-bit integer sums equal the extended sums term for term and may be added
// in any order (or per thread and then merged).
struct ColumnSums {
  std::vector<std::int64_t> weighted, weight, count;
  explicit ColumnSums(int columns) : weighted(columns), weight(columns), count(columns) {}
  void Add(int x, int y, int p) {
    const std::int64_t square = static_cast<std::int64_t>(p) * p;
    weighted[x] += y * square;
    weight[x] += square;
    count[x] += 1;
  }
  void Merge(const ColumnSums& other) {
    for (std::size_t x = 0; x < weight.size(); ++x) {
      weighted[x] += other.weighted[x];
      weight[x] += other.weight[x];
      count[x] += other.count[x];
    }
  }
  int Centroid(int x) const {
    return Round(static_cast<Extended>(weighted[x]) / static_cast<Extended>(weight[x]));
  }
};

// Exact s div d for 0 <= s < 2^24 and 1 <= d <= 16 with one multiplication:
// the error of the rounded-up reciprocal stays below the gap to the next
// multiple of d.
class SmallDivider {
public:
  explicit SmallDivider(int d) : factor_(((std::uint64_t{1} << kShift) + d - 1) / d) {}
  int Divide(int s) const { return static_cast<int>((static_cast<std::uint64_t>(s) * factor_) >> kShift); }

private:
  static constexpr int kShift = 40;
  std::uint64_t factor_;
};

// Sums of per-block partial results, merged in block order.
template <typename Partial, typename Body>
Partial ParallelSum(int first, int last, const Partial& empty, Body body) {
  const int blocks = ParallelBlockCount(first, last);
  std::vector<Partial> partials(std::max(blocks, 1), empty);
  ParallelBlocks(first, last, [&](int block, int begin, int end) { body(partials[block], begin, end); });
  for (int i = 1; i < blocks; ++i) partials[0].Merge(partials[i]);
  return partials[0];
}

struct FrameCounts {
  std::vector<int> counts;  // [frame * columns + column]
  explicit FrameCounts(int columns) : counts(static_cast<std::size_t>(kMostFrames) * columns) {}
  void Merge(const FrameCounts& other) {
    for (std::size_t i = 0; i < counts.size(); ++i) counts[i] += other.counts[i];
  }
};

// The vector loops count in 16 bits; blocks of this many rows keep every
// count below 65536 before it is added to the 32-bit counts.
constexpr int kRowsPerCountBlock = 4096;

struct ShortCounts {
  std::vector<std::uint16_t> counts;
  explicit ShortCounts(std::size_t size) : counts(size) {}
  std::uint16_t* Frame(int k, int columns) { return counts.data() + static_cast<std::size_t>(k) * columns; }
  void MoveInto(FrameCounts& target) {
    for (std::size_t i = 0; i < counts.size(); ++i) target.counts[i] += counts[i];
    std::fill(counts.begin(), counts.end(), 0);
  }
};

// The blue bytes of the frames of the range, one contiguous plane per frame:
// every later step reads blue only, a third of the bytes of the frames. The
// storage (18 MB for a scan) stays with the thread between calls: fresh pages
// for every scan cost more than the combination's own work.
class BluePlanes {
public:
  BluePlanes(int first, int last, int width, int height)
      : first_(first), width_(width), planeSize_(static_cast<std::size_t>(width) * height) {
    std::vector<std::uint8_t>& storage = Storage();
    const std::size_t size = planeSize_ * (last - first);
    if (storage.size() < size) storage.resize(size);
    data_ = storage.data();
  }
  std::uint8_t* Row(int k, int y) { return data_ + (k - first_) * planeSize_ + static_cast<std::size_t>(y) * width_; }
  const std::uint8_t* Row(int k, int y) const {
    return data_ + (k - first_) * planeSize_ + static_cast<std::size_t>(y) * width_;
  }

private:
  static std::vector<std::uint8_t>& Storage() {
    thread_local std::vector<std::uint8_t> storage;
    return storage;
  }
  int first_, width_;
  std::size_t planeSize_;
  std::uint8_t* data_;
};

class Combiner {
public:
  Combiner(const FrameSeries& frames, int count1, int count2, int th1, int th2, TProfileLine& line)
      : f_(frames),
        W_(frames[0].Width()),
        H_(frames[0].Height()),
        lineColumns_(std::min(W_, kLineColumns)),
        count1_(count1),
        count2_(count2),
        th1_(th1),
        th2_(th2),
        line_(line),
        planes_(count1, count2, W_, H_),
        b_(W_),
        bb_(W_),
        n_(W_, 0),
        nn_(W_, 0),
        floor_{0, static_cast<Extended>(H_ - 1)} {}

  int Run(Bitmap& rbmp, Bitmap& bmp32) {
    CountAndMapBrightness(bmp32);
    ChooseFrames(b_, n_, 10);
    FirstProfile();
    RoughLines();
    ZoneBands();
    ZonedProfile();
    ZoneCounts();
    ZoneFrameChoice();
    const auto zones = Composite(rbmp);
    ZoneDecision(zones.first, zones.second);
    RefinedLines();
    const ColumnSums snap = SurfaceSnap(rbmp);
    Opening(snap);
    FloorRefinement(rbmp);
    FlankRefinement(rbmp);
    PackProfileRow(rbmp, line_);
    long long sum = 0;
    for (int x = 0; x < W_; ++x) sum += n_[x];
    return static_cast<int>(sum / W_);
  }

private:
  int& Count(FrameCounts& c, int k, int x) { return c.counts[static_cast<std::size_t>(k) * W_ + x]; }
  int Count(const FrameCounts& c, int k, int x) const { return c.counts[static_cast<std::size_t>(k) * W_ + x]; }
  void Smooth(int x1, int x2, int d) { StarkGlaetten(line_, x1, std::min(x2, lineColumns_ - 1), d, 0, 1); }

  // Bright counts per frame and column, and the brightness map whose row
  // accumulator carries each column's value into the next.
  void CountAndMapBrightness(Bitmap& bmp32) {
    const SmallDivider divider(count2_ - count1_);
    b_ = ParallelSum(0, H_, FrameCounts(W_), [&](FrameCounts& partial, int first, int last) {
      ShortCounts counts(partial.counts.size());
      std::vector<std::uint16_t> weighted(W_);
      for (int y = first; y < last; ++y) {
        if ((y - first) % kRowsPerCountBlock == 0) counts.MoveInto(partial);
        std::fill(weighted.begin(), weighted.end(), 0);
        for (int k = count1_; k < count2_; ++k) {
          std::uint8_t* blue = planes_.Row(k, y);
          ExtractBlue(f_[k].Row(y), blue, W_);
          CountAbove(blue, W_, th1_, nullptr, counts.Frame(k, W_));
          AddWeighted(blue, W_, k - count1_ + 1, weighted.data());
        }
        std::uint8_t* out = bmp32.Row(y);
        int vv = 0;
        for (int x = 0; x < W_; ++x) {
          vv = divider.Divide(vv + weighted[x]);
          out[3 * x] = static_cast<std::uint8_t>(vv & 0xFF);
          out[3 * x + 1] = static_cast<std::uint8_t>((vv >> 8) & 0xFF);
          out[3 * x + 2] = static_cast<std::uint8_t>((vv >> 16) & 0xFF);
        }
      }
      counts.MoveInto(partial);
    });
  }

  // Per column the frame whose bright count is closest to th2; a frame with
  // fewer than `least` bright pixels is always replaced. Ties keep the earlier.
  void ChooseFrames(const FrameCounts& counts, std::vector<int>& chosen, int least) const {
    for (int x = 0; x < W_; ++x) {
      int& c = chosen[x];
      for (int k = count1_; k < count2_; ++k) {
        const int current = Count(counts, c, x);
        if (current < least || std::abs(Count(counts, k, x) - th2_) < std::abs(current - th2_)) c = k;
      }
    }
  }

  // Centroid sums of each column's chosen frame over rows first..last,
  // counting only pixels above `above`.
  ColumnSums ChosenSums(const std::vector<int>& chosen, int first, int last, int above) const {
    first = std::max(first, 0);
    last = std::min(last, H_ - 1);
    return ParallelSum(first, last + 1, ColumnSums(W_), [&](ColumnSums& partial, int begin, int end) {
      std::vector<const std::uint8_t*> rows(kMostFrames);
      for (int y = begin; y < end; ++y) {
        for (int k = count1_; k < count2_; ++k) rows[k] = planes_.Row(k, y);
        for (int x = 0; x < W_; ++x) {
          const int v = rows[chosen[x]][x];
          if (v > above) partial.Add(x, y, v);
        }
      }
    });
  }

  void FirstProfile() {
    const ColumnSums sums = ChosenSums(n_, 0, H_ - 1, 0);
    for (int x = 0; x < lineColumns_; ++x) line_[x] = sums.weight[x] > 0 ? sums.Centroid(x) : -1;
    Interpollieren(line_);
    Smooth(0, W_ - 1, 30);
  }

  void Fit(int first, int last, Extended lower, Extended upper, StraightLine& line) const {
    GetRegression(line_, first, last, 0, static_cast<double>(lower), 0, static_cast<double>(upper), line.m, line.c);
  }

  void RoughLines() {
    Fit(80, W_ - 80, 0, H_ / 2, surface_);
    for (int i = 0; i < 2; ++i) Fit(80, W_ - 80, 0, surface_.Height(), surface_);
    Fit(320, 960, surface_.Height() + 10, H_ - 1, floor_);
    for (int i = 0; i < 3; ++i) Fit(320, 960, floor_.Height() + 10, H_ - 1, floor_);
  }

  // Rows of the surface zone (y0..y1) and of the floor zone (y2..y3). Computed
  // in 64 bits: a wild fit must not overflow the differences.
  void ZoneBands() {
    const Extended floorHeight = floor_.Height();
    long long y0 = std::max(1, Round(surface_.c - 60));
    long long y1 = std::min(H_ - 1, Round(surface_.c + 60));
    if (y1 > floorHeight - 20) y1 = Round(floorHeight - 20);
    long long y2 = std::max(Round(floorHeight + surface_.c) / 2, 1);
    long long y3 = std::min<long long>(H_ - 1, Round(floorHeight + static_cast<Extended>(y2 - y1)));
    if (y3 - y2 < y1 - y0) y3 = y2 + (y1 - y0);
    y3 = std::min<long long>(y3, H_ - 1);
    // Every use of a band is limited to the image rows; clamping here keeps
    // those limits and the comparisons with rows unchanged.
    const auto rows = [this](long long v) { return static_cast<int>(std::clamp<long long>(v, -1, H_)); };
    y0_ = rows(y0);
    y1_ = rows(y1);
    y2_ = rows(y2);
    y3_ = rows(y3);
  }

  void ZonedProfile() {
    line_.fill(0);
    const ColumnSums top = ChosenSums(n_, y0_, y1_, 10);
    for (int x = 0; x < lineColumns_; ++x) line_[x] = top.weight[x] > 0 ? top.Centroid(x) : -1;
    const ColumnSums bottom = ChosenSums(n_, y2_, y3_, 10);
    for (int x = 0; x < lineColumns_; ++x) {
      if (bottom.weight[x] == 0) continue;
      const int v = bottom.Centroid(x);
      const bool closerToFloor = std::abs(floor_.At(x) - v) < std::abs(surface_.At(x) - v);
      const bool offSurface = std::abs(line_[x] - surface_.At(x)) > 5;
      if (line_[x] < 0 || (closerToFloor && offSurface)) line_[x] = v;
    }
    Interpollieren(line_);
    Smooth(0, W_ - 1, 30);
  }

  // Bright counts per frame over rows first..last in the columns marked.
  FrameCounts BrightCounts(int first, int last, const std::vector<std::uint8_t>& columns) const {
    first = std::max(first, 0);
    last = std::min(last, H_ - 1);
    return ParallelSum(first, last + 1, FrameCounts(W_), [&](FrameCounts& partial, int begin, int end) {
      ShortCounts counts(partial.counts.size());
      for (int y = begin; y < end; ++y) {
        if ((y - begin) % kRowsPerCountBlock == 0) counts.MoveInto(partial);
        for (int k = count1_; k < count2_; ++k) {
          CountAbove(planes_.Row(k, y), W_, th1_, columns.data(), counts.Frame(k, W_));
        }
      }
      counts.MoveInto(partial);
    });
  }

  void ZoneCounts() {
    std::vector<std::uint8_t> surfaceColumns(W_, 0), floorColumns(W_, 0);
    for (int x = 0; x < lineColumns_; ++x) {
      surfaceColumns[x] = line_[x] > 0 && line_[x] <= y1_ ? 0xFF : 0;
      floorColumns[x] = line_[x] >= y2_ ? 0xFF : 0;
    }
    b_ = BrightCounts(y0_, y1_, surfaceColumns);
    bb_ = BrightCounts(y2_, H_ - 1, floorColumns);
    std::fill(n_.begin(), n_.end(), 0);
    std::fill(nn_.begin(), nn_.end(), 0);
  }

  void ZoneFrameChoice() {
    ChooseFrames(b_, n_, 5);
    ChooseFrames(bb_, nn_, 5);
    // A surface column bright in no frame steps down from the darkest frame,
    // never below count2 - 4 and never below the first frame of the range.
    for (int x = 0; x < W_; ++x) {
      int& k = n_[x];
      if (k != count2_ - 1 || Count(b_, k, x) != 0) continue;
      while (k > count1_ && k >= count2_ - 3 && Count(b_, k, x) == 0) --k;
    }
  }

  // Blue from the surface-zone frames, green from the floor-zone frames, each
  // the mean of three neighbouring columns; returns the zone centroid sums.
  std::pair<ColumnSums, ColumnSums> Composite(Bitmap& rbmp) const {
    struct ZoneSums {
      ColumnSums top, bottom;
      void Merge(const ZoneSums& other) {
        top.Merge(other.top);
        bottom.Merge(other.bottom);
      }
    };
    const ZoneSums sums =
        ParallelSum(0, H_, ZoneSums{ColumnSums(W_), ColumnSums(W_)}, [&](ZoneSums& partial, int begin, int end) {
          std::vector<const std::uint8_t*> rows(kMostFrames);
          for (int y = begin; y < end; ++y) {
            for (int k = count1_; k < count2_; ++k) rows[k] = planes_.Row(k, y);
            std::uint8_t* out = rbmp.Row(y);
            for (int x = 5; x <= W_ - 6; ++x) {
              const int v = (rows[n_[x - 1]][x - 1] + rows[n_[x]][x] + rows[n_[x + 1]][x + 1]) / 3;
              const int w = (rows[nn_[x - 1]][x - 1] + rows[nn_[x]][x] + rows[nn_[x + 1]][x + 1]) / 3;
              out[3 * x] = static_cast<std::uint8_t>(v);
              out[3 * x + 1] = static_cast<std::uint8_t>(w);
              if (v <= 10) continue;
              if (y <= y1_) partial.top.Add(x, y, v);
              if (y2_ <= y && y <= y3_) partial.bottom.Add(x, y, w);  // gated by v, not by w
            }
          }
        });
    return {sums.top, sums.bottom};
  }

  void ZoneDecision(const ColumnSums& top, const ColumnSums& bottom) {
    line_.fill(0);
    for (int x = 0; x < lineColumns_; ++x) {
      if (top.weight[x] > 0 && bottom.weight[x] < top.weight[x]) {
        line_[x] = top.Centroid(x);
      } else if (bottom.weight[x] > 0) {
        line_[x] = bottom.Centroid(x);
      } else {
        line_[x] = -1;
      }
    }
    Interpollieren(line_);
  }

  void RefinedLines() {
    Fit(0, W_ - 1, surface_.c - 30, surface_.c + 30, surface_);
    Fit(320, 960, floor_.c - 30, floor_.c + 30, floor_);
  }

  // Columns with enough bright composite just above the surface line snap to it.
  ColumnSums SurfaceSnap(const Bitmap& rbmp) {
    ColumnSums sums(W_);
    const int first = std::max(1, Round(surface_.c - 40));
    const int last = std::min(H_ - 1, Round(surface_.c + 40));
    for (int y = first; y <= last; ++y) {
      const std::uint8_t* row = rbmp.Row(y);
      for (int x = 0; x < W_; ++x) {
        const Extended r = surface_.At(x) - y;
        const int q = row[3 * x];
        if (0 < r && r < 20 && q > 100) sums.Add(x, y, q);
      }
    }
    for (int x = 0; x < lineColumns_; ++x) {
      if (sums.weight[x] > 0 && sums.count[x] > 10) line_[x] = Round(surface_.At(x));
    }
    return sums;
  }

  // The channel opening: columns whose surface band stays dark.
  void Opening(const ColumnSums& snap) {
    long long columnSum = 0;
    int columns = 0;
    for (int x = 100; x <= W_ - 100; ++x) {
      if (snap.count[x] < 5) {
        columnSum += x;
        ++columns;
      }
    }
    if (columns == 0) {
      x0_ = 100;
      x1_ = W_ - 100;
      return;
    }
    x0_ = x1_ = static_cast<int>(columnSum / columns);
    while (snap.count[x0_] < 16 && x0_ > 100) --x0_;
    while (snap.count[x1_] < 16 && x1_ < W_ - 100) ++x1_;
  }

  void ApplyCentroids(const ColumnSums& sums, int first, int last) {
    last = std::min(last, lineColumns_ - 1);
    for (int x = std::max(first, 0); x <= last; ++x) {
      if (sums.weight[x] > 0 && sums.count[x] > 20) line_[x] = sums.Centroid(x);
    }
  }

  void FloorRefinement(const Bitmap& rbmp) {
    ColumnSums sums(W_);
    const Extended floorHeight = floor_.Height();
    const int first = std::max(1, Round(floorHeight - 100));
    const int last = std::min(H_ - 1, Round(floorHeight + 100));
    for (int y = first; y <= last; ++y) {
      const std::uint8_t* row = rbmp.Row(y);
      for (int x = x0_; x <= x1_; ++x) {
        const Extended s = y - floor_.At(x);
        const Extended a = std::abs(y - surface_.At(x));
        const int p = s >= a ? row[3 * x] : row[3 * x + 1];
        if (p > 20) sums.Add(x, y, p);
      }
    }
    ApplyCentroids(sums, 0, W_ - 1);
    Smooth(0, W_ - 1, 5);
  }

  void FlankRefinement(const Bitmap& rbmp) {
    ColumnSums sums(W_);
    const int centre = (x0_ + x1_) / 2;
    const int third = (x1_ - x0_) / 3;
    const Extended floorHeight = floor_.Height();
    const int first = std::max(1, Round(floorHeight - 100));
    const int last = std::min(H_ - 1, Round(floorHeight + 30));
    for (int y = first; y <= last; ++y) {
      const std::uint8_t* row = rbmp.Row(y);
      for (int x = x0_; x <= x1_; ++x) {
        if (std::abs(x - centre) < third) continue;
        const int p = row[3 * x];
        if (p > 20) sums.Add(x, y, p);
      }
    }
    ApplyCentroids(sums, x0_, x1_);
    Smooth(x0_, x1_, 20);
  }

  const FrameSeries& f_;
  const int W_, H_, lineColumns_;
  const int count1_, count2_, th1_, th2_;
  TProfileLine& line_;
  BluePlanes planes_;
  FrameCounts b_, bb_;
  std::vector<int> n_, nn_;
  StraightLine surface_{0, 0};
  StraightLine floor_;
  int y0_ = 0, y1_ = 0, y2_ = 0, y3_ = 0, x0_ = 0, x1_ = 0;
};

}  // namespace

int Kombinieren(Bitmap& rbmp, Bitmap& bmp32, std::span<const Bitmap> bmps, int count1, int count2, int th1, int th2,
                TProfileLine& aLine) {
  const int result = static_cast<int>((static_cast<long long>(count1) + count2) / 2);
  count2 = std::min({count2, kMostFrames, static_cast<int>(bmps.size())});
  count1 = std::max(count1, 0);
  aLine.fill(0);
  if (count2 <= 0) {
    rbmp = Bitmap();
    bmp32 = Bitmap();
    return result;
  }
  const Bitmap& darkest = bmps[count2 - 1];
  const FrameSeries frames(bmps, count2, darkest.Width(), darkest.Height());
  rbmp = frames[count2 - 1];
  bmp32 = frames[0];
  if (count1 + 1 >= count2 || rbmp.Empty()) {
    rbmp = frames[0];
    return result;
  }
  return Combiner(frames, count1, count2, th1, th2, aLine).Run(rbmp, bmp32);
}
