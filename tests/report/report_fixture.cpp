#include "tests/report/report_fixture.h"

#include "synth/channel_generator.h"

std::tm FixedReportTime() {
  std::tm t{};
  t.tm_year = 2016 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 8;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 7;
  return t;
}

ReportEnvironment QuietEnvironment() {
  ReportEnvironment environment;
  environment.clock = FixedReportTime;
  environment.openViewer = false;
  return environment;
}

Bitmap ExampleResultPicture(int variant) {
  synth::ChannelGeometry geometry;
  geometry.shape = variant == 0 ? synth::ChannelShape::Trapezoid : variant == 1 ? synth::ChannelShape::V : synth::ChannelShape::Round;
  geometry.flankAngle = 15;
  geometry.depth = 180 + 20 * variant;
  geometry.width = 300;
  return synth::MakeChannel(geometry).image;
}

ReportInputs ExampleInputs(const std::filesystem::path& home) {
  ReportInputs in;
  in.homeDir = home;
  in.programDir = std::filesystem::path(VQX_SOURCE_DIR) / "data" / "report";
  in.serial = "00057";
  in.memoLines = {"Die Works Example Ltd.", "Line 7, Hall B"};
  in.logoBmp = DrawBrandLogo();
  in.certificate = {"180", "128", "0.00", "0.500", "1.000", "182", "131", "0.12\u00b0", "0.503", "0.998", "3601.2", "0.9987"};
  in.verification = {"0.500", "1.000", "0.497", "1.004"};
  in.ImgBrightness = Bitmap(640, 320);
  for (int y = 0; y < 320; ++y) {
    for (int x = 0; x < 640; ++x) {
      std::uint8_t* p = in.ImgBrightness.Pixel(x, y);
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(x * 255 / 639);
    }
  }
  in.ImgChannel = ExampleResultPicture(0);
  in.rBild = ExampleResultPicture(1);
  in.DepthResult = "0.512";
  in.WidthResult = "1.034";
  in.OpenResult = "21\u00b0";
  in.RadiusResult = "0.250";
  in.AlphaV = "38\u00b0";
  in.openGroupVisible = true;
  for (int i = 0; i < 3; ++i) {
    ReportSnapshot& s = in.snapshots[static_cast<std::size_t>(i)];
    s.Img = ExampleResultPicture(i);
    s.texts = {nullptr, "0.50" + std::to_string(i), "1.01" + std::to_string(i), "2" + std::to_string(i) + "\u00b0",
               "4" + std::to_string(i) + "\u00b0", "0.25" + std::to_string(i), "0.050", "0.000"};
  }
  return in;
}
