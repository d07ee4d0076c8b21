#include <gtest/gtest.h>

#include <random>

#include "measure/profile.h"

namespace {

TProfileLine Flat(int row) {
  TProfileLine line{};
  for (int x = 0; x < 1280; ++x) line[x] = row;
  return line;
}

TEST(Distances, PlainAndFromALine) {
  EXPECT_DOUBLE_EQ(Abstand(0, 0, 3, 4), 5);
  EXPECT_EQ(AbstandPunktGerade(0, 5, 0, 2), 3);
  EXPECT_EQ(AbstandPunktGerade(0, -1, 0, 2), 3);
  EXPECT_NEAR(static_cast<double>(AbstandPunktGerade(0, 0, 1, 2)), std::sqrt(2.0), 1e-15);
}

TEST(Regression, FitsTheFirstNPoints) {
  const std::vector<double> xx{0, 1, 2, 9}, yy{1, 3, 5, 0};
  Extended m = 7, c = 7;
  EXPECT_TRUE(regression(m, c, xx, yy, 3));
  EXPECT_EQ(m, 2);
  EXPECT_EQ(c, 1);
  EXPECT_FALSE(regression(m, c, xx, yy, 1));
  EXPECT_EQ(m, 0);
  EXPECT_EQ(c, 0);
  const std::vector<double> same{4, 4, 4}, ys{1, 2, 6};
  EXPECT_FALSE(regression(m, c, same, ys, 3));
  EXPECT_EQ(m, 0);
  EXPECT_EQ(c, 3);
}

TEST(StarkGlaetten, MovingMeanOverValidNeighbours) {
  TProfileLine line{};
  for (int x = 0; x <= 1280; ++x) line[x] = x;
  StarkGlaetten(line, 0, 0, 30, 0, 1);
  EXPECT_EQ(line[0], Round((1 + 30) / 2.0L));  // columns 1..30 only

  TProfileLine gaps = Flat(100);
  for (int x = 600; x <= 700; ++x) gaps[x] = -1;
  gaps[650] = 400;
  const TProfileLine before = gaps;
  StarkGlaetten(gaps, 640, 660, 5, 0, 1);
  EXPECT_EQ(gaps[650], 400);     // the only valid neighbour
  EXPECT_EQ(gaps[640], -1);      // no valid neighbour within 5
  EXPECT_EQ(gaps[645], 400);
  EXPECT_EQ(gaps[639], before[639]);  // outside x1..x2 untouched
  // Sums come from the line as it was on entry: 10, 20, 30 smoothed with d = 1.
  TProfileLine steps = Flat(0);
  steps[10] = 10;
  steps[11] = 20;
  steps[12] = 30;
  StarkGlaetten(steps, 10, 12, 1, 0, 1);
  EXPECT_EQ(steps[10], 15);
  EXPECT_EQ(steps[11], 20);
  EXPECT_EQ(steps[12], 25);
  StarkGlaetten(steps, -50, 5000, 3, 0, 1);  // clipped, no out-of-range access
}

TEST(Interpollieren, FillsGapsAndLeavesTheLastEntry) {
  TProfileLine line;
  line.fill(-1);
  line[2] = 10;
  line[4] = 20;
  line[1280] = 0;
  Interpollieren(line);
  EXPECT_EQ(line[0], 10);
  EXPECT_EQ(line[1], 10);
  EXPECT_EQ(line[2], 10);
  EXPECT_EQ(line[3], 15);
  EXPECT_EQ(line[4], 20);
  for (int x = 5; x < 1280; ++x) ASSERT_EQ(line[x], 20) << x;
  EXPECT_EQ(line[1280], 0);

  TProfileLine dark;
  dark.fill(-1);
  dark[1280] = 0;
  Interpollieren(dark);
  for (int x = 0; x < 1280; ++x) ASSERT_EQ(dark[x], 0) << x;

  // A long gap interpolates with halves to even; a value of 10000 or more
  // becomes the next anchor.
  TProfileLine ramp = Flat(-1);
  ramp[1280] = 0;
  ramp[100] = 100;
  ramp[104] = 102;
  ramp[110] = 20000;
  Interpollieren(ramp);
  EXPECT_EQ(ramp[101], 100);  // 100.5 -> 100
  EXPECT_EQ(ramp[102], 101);
  EXPECT_EQ(ramp[103], 102);  // 101.5 -> 102
  EXPECT_EQ(ramp[110], 20000);
  EXPECT_EQ(ramp[111], 20000);
}

TEST(GetRegression, StrictBandAndSixPointRule) {
  TProfileLine line{};
  line.fill(0);
  // Five qualifying points: m and c keep their values.
  for (int x = 10; x < 15; ++x) line[x] = 2 * x + 1;
  Extended m = 42, c = 43;
  GetRegression(line, 0, 100, 0, 0, 0, 1000, m, c);
  EXPECT_EQ(m, 42);
  EXPECT_EQ(c, 43);
  // A sixth point: the fit uses the first five only (it lies off their line).
  line[15] = 500;
  GetRegression(line, 0, 100, 0, 0, 0, 1000, m, c);
  EXPECT_NEAR(static_cast<double>(m), 2, 1e-15);
  EXPECT_NEAR(static_cast<double>(c), 1, 1e-12);

  // Points on either bound and values <= 0 do not count.
  TProfileLine band = Flat(0);
  for (int x = 0; x < 8; ++x) band[x] = 50;            // on the lower bound
  for (int x = 8; x < 16; ++x) band[x] = 100;          // on the upper bound
  for (int x = 16; x < 24; ++x) band[x] = -5;
  m = 1, c = 2;
  GetRegression(band, 0, 1280, 0, 50, 0, 100, m, c);
  EXPECT_EQ(m, 1);
  EXPECT_EQ(c, 2);
  GetRegression(band, -100, 5000, 0, 49.5, 0, 100.5, m, c);  // clamped columns
  // 16 points qualify now; the fit runs over the first 15 (8 at 50, 7 at 100).
  std::vector<double> xx, yy;
  for (int x = 0; x < 15; ++x) {
    xx.push_back(x);
    yy.push_back(band[x]);
  }
  Extended em = 0, ec = 0;
  ASSERT_TRUE(regression(em, ec, xx, yy, 15));
  EXPECT_EQ(m, em);
  EXPECT_EQ(c, ec);
}

Bitmap BandImage(int width, int height, int row, std::uint8_t value) {
  Bitmap image(width, height);
  for (int x = 0; x < width; ++x) {
    image.Pixel(x, row)[0] = value;
    image.Pixel(x, row + 1)[0] = value;
  }
  return image;
}

TEST(GetLine, WeightedCentroidPerColumn) {
  Bitmap image = BandImage(1280, 100, 40, 200);
  image.Pixel(7, 40)[0] = 0;  // column 7 only has row 41 lit
  TProfileLine line{};
  GetLine(image, line, 0, 100);
  EXPECT_EQ(line[0], 40);     // 40.5 -> 40
  EXPECT_EQ(line[7], 41);
  EXPECT_EQ(line[1280], 0);

  Bitmap dark(1280, 100);
  TProfileLine darkLine = Flat(5);
  GetLine(dark, darkLine, 0, 100);
  for (int x = 0; x < 1280; ++x) ASSERT_EQ(darkLine[x], 0);  // -1, then filled from entry 1280
  GetLine(image, line, -50, 5000);                           // rows clipped to the image
  EXPECT_EQ(line[7], 41);
}

TEST(FindLine, ReextractsAWindowOnly) {
  Bitmap image = BandImage(300, 200, 120, 90);
  TProfileLine line = Flat(7);
  FindLine(image, line, 10, 100, 20, 150);
  EXPECT_EQ(line[9], 7);
  EXPECT_EQ(line[10], 120);  // 120.5 -> 120
  EXPECT_EQ(line[20], 120);
  EXPECT_EQ(line[21], 7);
  const TProfileLine before = line;
  FindLine(image, line, 30, 150, 40, 100);  // y0 > y1: nothing
  FindLine(image, line, 30, 0, 40, 50);     // dark window: columns keep their value
  FindLine(image, line, -20, -20, 5000, 5000);
  EXPECT_EQ(line[1280], 0);
  EXPECT_EQ(line[299], 120);
  EXPECT_EQ(line[300], 7);  // beyond the image
  EXPECT_EQ(before[35], 7);
}

TEST(GetThreshold, TwoPeaksAndDegenerateHistograms) {
  THistogram hist{};
  hist[50] = 1000;
  hist[200] = 1000;
  EXPECT_EQ(GetThreshold(hist, 1000), 125);

  THistogram empty{};
  EXPECT_EQ(GetThreshold(empty, 0), 0);

  std::mt19937 random(3);
  for (int trial = 0; trial < 200; ++trial) {
    THistogram h{};
    for (int& v : h) v = static_cast<int>(random() % 50);
    const int th = GetThreshold(h, static_cast<int>(random() % 100));  // must end
    (void)th;
  }
}

TEST(GetSpunkt, CentroidBelowTheLine) {
  TProfileLine line = Flat(300);
  EXPECT_EQ(GetSpunkt(0, 300, line), 640);  // on the line everywhere
  for (int x = 500; x <= 780; ++x) line[x] = 500;
  EXPECT_EQ(GetSpunkt(0, 300, line), 640);
  for (int x = 700; x <= 780; ++x) line[x] = 300;
  EXPECT_EQ(GetSpunkt(0, 300, line), 600);
}

TEST(GetHist, CountsTheBandAtTheEdge) {
  Bitmap image(1280, 1024);
  image.Fill(30, 0, 0);
  TProfileLine line = Flat(300);
  for (int x = 500; x <= 780; ++x) line[x] = 500;
  THistogram hist{};
  int histm = 0;
  GetHist(image, line, hist, histm, 0, 304, 15, -10, 640, 100, -1);
  EXPECT_EQ(hist[30], 201 * 16);
  EXPECT_EQ(histm, 201 * 16);
  // A band that leaves the image counts only its pixels inside.
  GetHist(image, line, hist, histm, 0, 1020, 15, 0, 50, 100, -1);
  EXPECT_EQ(hist[30], (50 + 101) * 4);
  GetHist(image, line, hist, histm, 0, 304, 99, -10, 5000, 100, 1);  // centre beyond the line
  EXPECT_GE(histm, 0);
}

TEST(GetTHPos, FindsTheDarkEdgeAndStopsInBounds) {
  // Surface at row 300, lit (blue 200) everywhere outside a channel 500..780.
  Bitmap image(1280, 1024);
  TProfileLine line = Flat(300);
  for (int x = 0; x < 1280; ++x) {
    const bool inside = x > 500 && x < 780;
    if (inside) line[x] = 500;
    for (int y = 296; y <= 304; ++y) image.Pixel(x, y)[0] = inside ? 0 : 200;
  }
  int x = 640, txl = 640, tx = 0;
  GetTHPos(image, line, x, txl, tx, 0, 300, 4, 100, 15, 0, -1, 0);
  EXPECT_EQ(txl, 501);
  EXPECT_EQ(tx, 0);  // no window below the line became bright before the edge
  x = 640;
  int txr = 640;
  tx = 0;
  GetTHPos(image, line, x, txr, tx, 0, 300, 4, 100, 15, 0, 1, 0);
  EXPECT_EQ(txr, 779);

  // A dark image with the profile always below the line: the walk ends at column 100.
  Bitmap dark(1280, 1024);
  x = 640, txl = 640, tx = 0;
  TProfileLine deep = Flat(900);
  GetTHPos(dark, deep, x, txl, tx, 0, 10, 4, 50, 15, 0, -1, 1);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(txl, 101);
  // Windows beyond the image rows and a zero direction end without reading outside.
  x = 640, txl = 640, tx = 0;
  GetTHPos(dark, deep, x, txl, tx, 0, 2000, 4, 50, 0, 0, 1, 5);
  x = 640;
  GetTHPos(dark, deep, x, txl, tx, 0, 10, 4, 50, 15, 0, 0, 0);
  EXPECT_EQ(x, 640);
}

TEST(Oeffnung, StopsWhereTheProfileRisesOrAtItsLimits) {
  TProfileLine line = Flat(300);
  for (int x = 500; x <= 780; ++x) line[x] = 500;
  TRealPoint pl, pr;
  Oeffnung(line, 640, 0, 400, 0, 1280, pl, pr);
  EXPECT_EQ(pl, (TRealPoint{499, 400}));
  EXPECT_EQ(pr, (TRealPoint{781, 400}));

  TProfileLine deep = Flat(900);
  Oeffnung(deep, 640, 0, 400, 0, 1280, pl, pr);
  EXPECT_EQ(pl.x, 100);
  EXPECT_EQ(pr.x, 1270);
  Oeffnung(deep, 640, 0, 400, 550.5, 700, pl, pr);
  EXPECT_EQ(pl.x, 550);
  EXPECT_EQ(pr.x, 700);
  Oeffnung(deep, 5000, 0, 400, 0, 9000, pl, pr);  // centre outside the line
  EXPECT_EQ(pl.x, 5000);
  Oeffnung(deep, -30, 0, 400, -100, 0, pl, pr);
  EXPECT_EQ(pr.x, -30);
}

}  // namespace
