#include "shell/live_guide.h"

#include "measure/numbers.h"

namespace {

LiveGuide Guide(double s, int y0, int y1) {
  LiveGuide g;
  g.scale = s;
  g.pictureWidth = Round(1280 * s);
  g.pictureHeight = Round(1024 * s);
  const int x0 = Round(480 * s);
  const int x1 = Round(800 * s);
  g.polyline = {GuidePoint{0, y0}, {x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}, {g.pictureWidth, y0}};
  return g;
}

}  // namespace

LiveGuide MainWindowGuide(int areaWidth, int areaHeight, int top) {
  const double s = static_cast<double>(areaHeight) / 1024 > static_cast<double>(areaWidth) / 1280
                       ? (areaWidth - 20) / 1280.0
                       : (areaHeight - 20) / 1024.0;
  LiveGuide g = Guide(s, Round(top * s), Round(top * s + 150));
  const int xm = (g.polyline[1].x + g.polyline[3].x) / 2;
  const int y1 = g.polyline[2].y;
  g.centreLine = true;
  g.centreFrom = {xm, y1 - 100};
  g.centreTo = {xm, y1 + 100};
  return g;
}

LiveGuide StationGuide(int top) { return Guide(1, top, top + 450); }
