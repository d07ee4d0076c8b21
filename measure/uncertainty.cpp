#include "measure/uncertainty.h"

#include <cmath>
#include <tuple>

#include "measure/numbers.h"
#include "platform/profile_file.h"

namespace {

constexpr const char* kSection = "VELDRAQXUNCERTAINTY";
constexpr double kMaxInput = 0.1;  // mm: a gauge with more is no gauge for these channels

}  // namespace

Uncertainty ExpandedUncertainty(const UncertaintyBudget& b) {
  auto expanded = [&](double repeat, double linearity, double pixel) {
    const double reference = b.referenceU / 2;
    const double lin = linearity / std::sqrt(3.0);
    const double resolution = pixel / std::sqrt(12.0);
    return 2 * std::sqrt(reference * reference + repeat * repeat + lin * lin + resolution * resolution);
  };
  return {expanded(b.depthRepeat, b.linearity, b.pixelDepth), expanded(b.widthRepeat, 0, b.pixelWidth)};
}

FileStatus ReadUncertaintyBudget(const MeasureState& state, const std::filesystem::path& calibrationFile,
                                 UncertaintyBudget& budget) {
  UncertaintyBudget read;
  const TImgCalibration& cal = state.ImgCalibration;
  read.pixelWidth = cal.PixelPerInch > 0 ? 25.4 / cal.PixelPerInch : 0;
  read.pixelDepth = read.pixelWidth * std::fabs(cal.ZFaktor);
  const ProfileSnapshot snapshot(calibrationFile);
  if (FileStatus usable = snapshot.Usable(); !usable.ok) return usable;
  bool depthRepeat = false;
  bool widthRepeat = false;
  for (auto [key, value, seen] : {std::tuple{"REFU", &read.referenceU, static_cast<bool*>(nullptr)},
                                  std::tuple{"DEPTHREPEAT", &read.depthRepeat, &depthRepeat},
                                  std::tuple{"WIDTHREPEAT", &read.widthRepeat, &widthRepeat},
                                  std::tuple{"LINEARITY", &read.linearity, static_cast<bool*>(nullptr)}}) {
    const std::string text = snapshot.String(kSection, key, "", 64);
    if (text.empty()) continue;
    double number = 0;
    if (!ParseDecimal(text, number) || !(number >= 0 && number <= kMaxInput)) {
      return FileStatus::Failure(QuotedPath(calibrationFile) + ": key " + key + " of section [" + kSection + "] is \"" +
                                 text + "\", not a length of 0 .. 0.1 mm; the uncertainty is not known");
    }
    *value = number;
    if (seen) *seen = true;
  }
  read.verified = depthRepeat && widthRepeat;
  budget = read;
  return FileStatus::Success();
}
