#pragma once

// Building blocks that read a profile line and the prepared image: straight
// line fits to a band of the profile, re-extraction of the profile from image
// brightness, the histogram threshold, the channel centroid, the walk along
// the surface to the channel edge and the opening of a line across the channel.
//
// Every routine stays inside the 1281 entries of the line and inside the
// bitmap, whatever its arguments; where a window leaves the image, the
// missing pixels are treated as described at the routine.

#include <array>
#include <span>

#include "base/bitmap.h"
#include "measure/records.h"

using THistogram = std::array<int, 256>;

double Abstand(double x1, double y1, double x2, double y2);
// Unsigned perpendicular distance of (x0, y0) from y = a*x + b.
Extended AbstandPunktGerade(Extended x0, Extended y0, Extended a, Extended b);
// Least-squares line through the first n points; false (m = c = 0, or
// c = mean y for equal x) when no line is defined.
bool regression(Extended& m, Extended& c, std::span<const double> xx, std::span<const double> yy, int n);

// Moving mean over 2d + 1 columns for the columns x1..x2 (neighbours 1..1279
// with a positive value count); -1 where no neighbour counts.
void StarkGlaetten(TProfileLine& aLine, int x1, int x2, int d, double c, double f);
// Fills entries outside 0..9999 by linear interpolation between valid ones;
// entry 1280 never changes.
void Interpollieren(TProfileLine& aLine);

// Fits (m, c) to the profile points in columns x0..x1 lying strictly between
// the lines (y0m, y0c) and (y1m, y1c); needs six points and fits the first
// b - 1 of the b found, otherwise m and c keep their values.
void GetRegression(const TProfileLine& aLine, int x0, int x1, double y0m, double y0c, double y1m, double y1c,
                   Extended& m, Extended& c);

// Whole profile from rows y0..y1-1: blue-weighted (squared) centroid per column, gaps filled.
void GetLine(const Bitmap& rbmp, TProfileLine& aLine, int y0, int y1);
// Re-extracts columns x0..x1 from rows y0..y1 (inclusive); dark columns keep their value.
void FindLine(const Bitmap& abmp, TProfileLine& aLine, int x0, int y0, int x1, int y1);

// Threshold between the two modes of a histogram (iterated valley centroid).
int GetThreshold(const THistogram& Hist, int histm);
// Histogram of the blue bytes of a band along the surface line near the edge
// where the profile, walking from sp in direction dir, reaches the line.
void GetHist(const Bitmap& abmp, const TProfileLine& aLine, THistogram& aHist, int& Histm, double tm, double tc,
             int dy, int dv, int sp, int dim, int dir);
// Centroid column of the channel below the line (tm, tc); 640 when there is none.
int GetSpunkt(double tm, double tc, const TProfileLine& aLine);
// Walks from x in direction dir along the surface line and finds the last
// column (txl) whose window above the line is darker than th.
void GetTHPos(const Bitmap& abmp, const TProfileLine& aLine, int& x, int& txl, int& tx, double tm, double tc,
              double dv, int th, int range, int plusrange, int dir, int ch);
// Where the line (m, c) leaves the profile left and right of the centre
// column spunkt, bounded by the limits and the columns 100 and 1270.
void Oeffnung(const TProfileLine& aLine, int spunkt, double m, double c, double Llimit, double rLimit, TRealPoint& pl,
              TRealPoint& pr);
