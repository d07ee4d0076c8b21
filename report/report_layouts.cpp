#include "report/report_layouts.h"

#include "measure/mymath.h"
#include "measure/numbers.h"
#include "report/report_names.h"

namespace {

std::string SerialLine(const std::string& product, const ReportInputs& inputs) {
  return product + " Serial Number: " + inputs.serial;
}

void PrintCertificate(ReportPage& page, const ReportInputs& in, const Bitmap& stamp) {
  const CertificateTexts& t = in.certificate;
  page.Text(24, 150, SerialLine(kProductDescription, in));  // still in the title's bold 20
  page.Picture(in.ImgBrightness, 400, 210, 160, 80, false);
  page.Picture(in.ImgChannel, 400, 300, 160, 128, false);
  page.Font(false, 9);
  const struct {
    double y;
    const char* name;
    std::string reference;
  } rows[] = {
      {220, "Surface Level", t.TopRefLabel + " \u00b1 50"},
      {240, "Brightness", t.BRRefLabel + " \u00b1 10"},
      {260, "Orientation", t.HRefLabel},
      {310, "Depth", t.CalHEdit + " \u00b1 0.015 mm"},
      {330, "Width", t.CALWEdit + " \u00b1 0.015 mm"},
  };
  for (const auto& row : rows) {
    page.Text(24, row.y, row.name);
    page.Text(280, row.y, row.reference);
  }
  page.Text(24, 350, "PPI");
  page.Text(24, 370, "ZF");
  page.Font(true, 11);
  page.Text(200, 220, t.SampleTop);
  page.Text(200, 240, t.BRLabel2);
  page.Text(200, 260, t.HorizLabel);
  page.Text(200, 310, t.BHeight + " mm");
  page.Text(200, 330, t.BWidth + " mm");
  page.Text(200, 350, t.PPIRes);
  page.Text(200, 370, t.ZFactorRes);
  page.Picture(stamp, 380, 500, 135, 85, false);
}

void PrintVerification(ReportPage& page, const ReportInputs& in, const Bitmap& stamp) {
  const VerificationTexts& t = in.verification;
  page.Text(24, 150, SerialLine(kProductDescription, in));
  page.Picture(in.ImgChannel, 400, 210, 160, 128, false);
  page.Font(false, 9);
  page.Text(24, 220, "Depth");
  page.Text(280, 220, t.CALDEdit + " \u00b1 0.01 mm");
  page.Text(24, 240, "Width");
  page.Text(280, 240, t.CALWEdit + " \u00b1 0.02 mm");
  page.Font(true, 11);
  page.Text(200, 220, t.BDepth + " mm");
  page.Text(200, 240, t.BWidth + " mm");
  page.Picture(stamp, 380, 500, 135, 85, false);
}

bool PertinaxSelected(const ReportInputs& in) { return in.materialIndex == 2; }

const std::string& MaterialText(const ReportInputs& in) {
  const int index = in.materialIndex >= 0 && in.materialIndex < 3 ? in.materialIndex : 0;
  return in.materialItems[static_cast<std::size_t>(index)];
}

void PrintMeasurement(ReportPage& page, const ReportInputs& in) {
  page.Font(false, 9);
  page.Text(24, 102, SerialLine(kProductName, in));
  if (PertinaxSelected(in)) {
    page.Text(24, 150, in.materialItems[2] + ":" + in.fiberText + "mm");
  } else {
    page.Text(24, 150, MaterialText(in));
  }
  page.Font(true, 12);
  page.Picture(in.icons.depth, 24, 180, 50, 16, false);
  page.Text(100, 180, in.DepthResult);
  page.Text(150, 180, in.mmLabel1);
  page.Picture(in.icons.width, 24, 210, 50, 16, false);
  page.Text(100, 210, in.WidthResult);
  page.Text(150, 210, in.mmLabel2);
  if (in.openGroupVisible) {
    page.Picture(in.icons.openingAngle, 24, 240, 50, 16, false);
    page.Text(100, 240, in.OpenResult);
  } else if (in.radiusGroupVisible) {
    page.Picture(in.icons.radius, 24, 240, 50, 16, false);
    page.Text(100, 240, in.RadiusResult);
    page.Text(150, 240, in.RadiusLabel);
  } else if (in.vGroupVisible) {
    page.Picture(in.icons.flankAngle, 24, 240, 50, 16, false);
    page.Text(100, 240, in.AlphaV);
  }
  page.Picture(in.rBild, 24, 300, 500, 400, true);
}

struct Column {
  double valueX;
  double unitX;
  double pictureX;
};
constexpr Column kColumns[3] = {{100, 150, 24}, {250, 300, 208}, {450, 500, 392}};

void PrintStoredResults(ReportPage& page, const ReportInputs& in) {
  page.Font(false, 9);
  page.Text(24, 102, SerialLine(kProductName, in));
  if (PertinaxSelected(in)) {
    page.Text(24, 150, in.materialItems[2]);
    page.Text(24, 164, in.fiberText + "mm");
  } else {
    page.Text(24, 150, MaterialText(in));
  }
  page.Font(false, 12);
  page.Text(24, 125, in.jobIdLabel + ":");
  page.Font(true, 12);
  page.Text(180, 125, in.jobId);
  page.Picture(in.icons.depth, 24, 180, 50, 16, false);
  page.Picture(in.icons.width, 24, 210, 50, 16, false);
  if (in.showOpen) page.Picture(in.icons.openingAngle, 24, 240, 50, 16, false);
  if (in.showRadius) page.Picture(in.icons.radius, 24, 270, 50, 16, false);
  if (in.showAlpha) page.Picture(in.icons.flankAngle, 24, 300, 50, 16, false);
  if (in.showLevel) page.Picture(in.icons.level, 24, 330, 50, 16, false);
  for (std::size_t i = 0; i < 3; ++i) {
    const ReportSnapshot& snapshot = in.snapshots[i];
    if (!snapshot.down) continue;
    const Column& c = kColumns[i];
    const TResult& r = snapshot.texts;
    page.Text(c.valueX, 150, in.snapshotHeadings[i]);
    page.Text(c.valueX, 180, r.Depth);
    page.Text(c.unitX, 180, in.mmLabel1);
    page.Text(c.valueX, 210, r.Width);
    page.Text(c.unitX, 210, in.mmLabel2);
    if (in.showOpen) page.Text(c.valueX, 240, r.AngleO);
    if (in.showRadius) {
      page.Text(c.valueX, 270, r.Radius);
      page.Text(c.unitX, 270, in.RadiusLabel);
    }
    if (in.showAlpha) page.Text(c.valueX, 300, r.Angle);
    if (in.showLevel) {
      const auto [value, unit] = LevelInUnit(r.Level, in.mmLabel2);
      page.Text(c.valueX, 330, value);
      page.Text(c.unitX, 330, unit);
    }
    page.Picture(snapshot.Img, c.pictureX, 380, 180, 144, true);
  }
}

}  // namespace

ReportTitle TitleOf(int kind) {
  switch (kind) {
    case kCalibrationCertificate: return {kProductDescription, "Calibration Certification"};
    case kVerificationReport: return {kProductDescription, "VERIFICATION"};
    default: return {std::string(kProductName) + " Report", ""};
  }
}

std::pair<std::string, std::string> LevelInUnit(const std::string& levelMm, const std::string& widthUnit) {
  if (widthUnit == "Inch") return {FormatFixed(GetReal(levelMm) / 25.4, 4), "Inch"};
  if (widthUnit == "mil") return {FormatFixed(GetReal(levelMm) * 1000 / 25.4, 4), "mil"};
  return {levelMm, widthUnit};
}

void PrintReportBody(ReportPage& page, int kind, const ReportInputs& inputs) {
  switch (kind) {
    case kCalibrationCertificate: PrintCertificate(page, inputs, inputs.stamp); break;
    case kVerificationReport: PrintVerification(page, inputs, inputs.stamp); break;
    case kMeasurementReport: PrintMeasurement(page, inputs); break;
    case kStoredResultsReport: PrintStoredResults(page, inputs); break;
    default: break;
  }
}
