#pragma once

// The body of each report kind: which texts and pictures go where on the
// page, in which font. Positions are points from the top-left corner of the
// A4 page; a font stays in force until the next change.

#include <string>

#include "base/bitmap.h"
#include "report/report_inputs.h"

// What a body draws on.
class ReportPage {
public:
  virtual ~ReportPage() = default;
  virtual void Font(bool bold, double size) = 0;
  virtual void Text(double x, double y, const std::string& text) = 0;
  // `cut`: a result picture, inverted when the settings ask for it and
  // without its bottom two rows.
  virtual void Picture(const Bitmap& picture, double x, double y, double width, double height, bool cut) = 0;
};

struct ReportTitle {
  std::string first;
  std::string second;
};

ReportTitle TitleOf(int kind);

// The level row of a stored result: the snapshot's level text (millimetres)
// in the unit of the width label "Inch" or "mil" with four decimals, or as
// it stands with any other unit. Returns {value, unit}.
std::pair<std::string, std::string> LevelInUnit(const std::string& levelMm, const std::string& widthUnit);

// The body of `kind` (0..3); nothing for other kinds.
void PrintReportBody(ReportPage& page, int kind, const ReportInputs& inputs);
