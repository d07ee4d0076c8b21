// Reports as a reader of the PDF sees them (poppler-utils): file names,
// document information, every text at its place, pictures, fonts,
// compression, Japanese headings and the failures that leave no file.
#include <gtest/gtest.h>

#include <fstream>

#include "imaging/bmp_codec.h"
#include "imaging/png_codec.h"
#include "platform/atomic_file.h"
#include "report/report_composer.h"
#include "report/report_layouts.h"
#include "tests/report/poppler_tools.h"
#include "tests/report/report_fixture.h"
#include "tests/temp_folder.h"

namespace {

struct Expected {
  double x, y;
  std::string text;
};

void ExpectTexts(const std::filesystem::path& pdf, const std::vector<Expected>& expected) {
  const std::vector<PdfWord> words = PdfWords(pdf);
  for (const Expected& e : expected) {
    EXPECT_EQ(TextAt(words, e.x, e.y), e.text) << "at (" << e.x << ", " << e.y << ")";
  }
}

bool HasWordAt(const std::filesystem::path& pdf, double y) {
  for (const PdfWord& w : PdfWords(pdf)) {
    if (std::abs(w.yMin - y) <= 1) return true;
  }
  return false;
}

class FakeView final : public ReportDocumentView {
public:
  bool Busy() const override { return ++polls_ < 3; }
  int ReadyState() const override { return polls_ < 3 ? 1 : 4; }
  void Navigate(const std::filesystem::path& file) override { shown = file; }
  std::filesystem::path shown;

private:
  mutable int polls_ = 0;
};

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) files.push_back(entry.path());
  return files;
}

TEST(ReportPdf, CertificateNameHeaderTextsPicturesAndView) {
  TempFolder home;
  ReportInputs in = ExampleInputs(home.Path());
  FakeView view;
  ReportEnvironment environment = QuietEnvironment();
  environment.calibrationView = &view;
  ReportComposer composer;
  const ReportOutcome outcome = composer.CreatePDF(kCalibrationCertificate, in, environment);
  ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
  EXPECT_EQ(outcome.path, home.Path() / "CALReports" / "00057_VQX_20160308_090507.pdf");
  EXPECT_EQ(view.shown, outcome.path);
  EXPECT_EQ(composer.sdr(), "08.03.2016-09:05:07");

  EXPECT_EQ(PdfInfo(outcome.path, "Title"), "VELDRA QX REPORT");
  EXPECT_EQ(PdfInfo(outcome.path, "Subject"), "VELDRA QX REPORT");
  EXPECT_EQ(PdfInfo(outcome.path, "Keywords"), "SANTIR VELDRA VQX");
  EXPECT_EQ(PdfInfo(outcome.path, "Author"), kReportAuthor);
  EXPECT_EQ(PdfInfo(outcome.path, "Pages"), "1");
  EXPECT_NE(PdfInfo(outcome.path, "Page size").find("(A4)"), std::string::npos);

  ExpectTexts(outcome.path, {
      {24, 24, "VELDRA QuadraGauge"},
      {24, 44, "Calibration Certification"},
      {24, 68, "Die Works Example Ltd."},
      {24, 79, "Line 7, Hall B"},
      {24, 112, "08.03.2016-09:05:07"},
      {24, 150, "VELDRA QuadraGauge Serial Number: 00057"},
      {24, 220, "Surface Level"}, {280, 220, "180 \u00b1 50"}, {200, 220, "182"},
      {24, 240, "Brightness"}, {280, 240, "128 \u00b1 10"}, {200, 240, "131"},
      {24, 260, "Orientation"}, {280, 260, "0.00"}, {200, 260, "0.12\u00b0"},
      {24, 310, "Depth"}, {280, 310, "0.500 \u00b1 0.015 mm"}, {200, 310, "0.503 mm"},
      {24, 330, "Width"}, {280, 330, "1.000 \u00b1 0.015 mm"}, {200, 330, "0.998 mm"},
      {24, 350, "PPI"}, {200, 350, "3601.2"},
      {24, 370, "ZF"}, {200, 370, "0.9987"},
      {24, 810, "00057_VQX_20160308_090507.pdf"},  // the file name alone
  });
  // Logo, brightness picture (160 x 80 points), channel picture (160 x 128), stamp (135 x 85).
  const std::vector<PdfImage> images = PdfImages(outcome.path);
  ASSERT_EQ(images.size(), 4u);
  EXPECT_EQ(std::make_pair(images[0].width, images[0].height), std::make_pair(200, 78));
  EXPECT_EQ(std::make_pair(images[1].width, images[1].height), std::make_pair(640, 320));
  EXPECT_EQ(images[1].xPpi, 288);  // 640 pixels over 160 points
  EXPECT_EQ(std::make_pair(images[2].width, images[2].height), std::make_pair(1280, 1024));
  EXPECT_EQ(std::make_pair(images[3].width, images[3].height), std::make_pair(kStampWidth, kStampHeight));
  EXPECT_EQ(images[3].xPpi, 144);  // 270 pixels over 135 points
}

TEST(ReportPdf, VerificationReportTextsAndView) {
  TempFolder home;
  ReportInputs in = ExampleInputs(home.Path());
  FakeView calibration, verification;
  ReportEnvironment environment = QuietEnvironment();
  environment.calibrationView = &calibration;
  environment.verificationView = &verification;
  ReportComposer composer;
  const ReportOutcome outcome = composer.CreatePDF(kVerificationReport, in, environment);
  ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
  EXPECT_EQ(outcome.path, home.Path() / "VerifyReports" / "00057_VQX_20160308_090507.pdf");
  EXPECT_EQ(verification.shown, outcome.path);
  EXPECT_TRUE(calibration.shown.empty());
  ExpectTexts(outcome.path, {
      {24, 24, "VELDRA QuadraGauge"},
      {24, 44, "VERIFICATION"},
      {24, 150, "VELDRA QuadraGauge Serial Number: 00057"},
      {24, 220, "Depth"}, {280, 220, "0.500 \u00b1 0.01 mm"}, {200, 220, "0.497 mm"},
      {24, 240, "Width"}, {280, 240, "1.000 \u00b1 0.02 mm"}, {200, 240, "1.004 mm"},
      {24, 810, outcome.path.string()},
  });
  const std::vector<PdfImage> images = PdfImages(outcome.path);
  ASSERT_EQ(images.size(), 3u);  // logo, channel picture, stamp
  EXPECT_EQ(images[1].xPpi, 576);  // 1280 pixels over 160 points
}

TEST(ReportPdf, MeasurementReportOfTheCurrentResult) {
  TempFolder home;
  ReportInputs in = ExampleInputs(home.Path());
  ReportEnvironment environment = QuietEnvironment();
  ReportComposer composer;
  const ReportOutcome outcome = composer.CreatePDF(kMeasurementReport, in, environment);
  ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
  EXPECT_EQ(outcome.path, home.Path() / "Reports" / "VQX_DEFAULT_20160308_090507.pdf");
  ExpectTexts(outcome.path, {
      {24, 24, "VELDRA QX Report"},
      {24, 102, "VELDRA QX Serial Number: 00057"},
      {24, 112, "08.03.2016-09:05:07"},
      {24, 150, "Steel"},
      {100, 180, "0.512"}, {150, 180, "mm"},
      {100, 210, "1.034"}, {150, 210, "mm"},
      {100, 240, "21\u00b0"},  // the opening angle comes first
      {24, 810, outcome.path.string()},
  });
  EXPECT_FALSE(HasWordAt(outcome.path, 44));  // the empty second title line
  const std::vector<PdfImage> images = PdfImages(outcome.path);
  ASSERT_EQ(images.size(), 5u);  // logo, depth, width and opening icons, result picture
  EXPECT_EQ(std::make_pair(images[1].width, images[1].height), std::make_pair(kIconWidth, kIconHeight));
  EXPECT_EQ(images[1].xPpi, 144);  // 100 pixels over 50 points
  // The result picture loses its bottom two rows and fills 500 x 400 points.
  EXPECT_EQ(std::make_pair(images[4].width, images[4].height), std::make_pair(1280, 1022));
  EXPECT_EQ(images[4].xPpi, 184);
}

TEST(ReportPdf, MeasurementReportThirdRowAndMaterialByTheWindow) {
  struct Case {
    bool open, radius, vee;
    int material;
    std::vector<Expected> texts;
    std::size_t images;
  };
  const Case cases[] = {
      {false, true, true, 1, {{100, 240, "0.250"}, {150, 240, "mm"}, {24, 150, "Steel Bevel"}}, 5},
      {false, false, true, 0, {{100, 240, "38\u00b0"}}, 5},
      {false, false, false, 2, {{24, 150, "Pertinax:0.040mm"}}, 4},
  };
  for (const Case& c : cases) {
    TempFolder home;
    ReportInputs in = ExampleInputs(home.Path());
    in.openGroupVisible = c.open;
    in.radiusGroupVisible = c.radius;
    in.vGroupVisible = c.vee;
    in.materialIndex = c.material;
    in.fiberText = "0.040";
    ReportEnvironment environment = QuietEnvironment();
    ReportComposer composer;
    const ReportOutcome outcome = composer.CreatePDF(kMeasurementReport, in, environment);
    ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
    ExpectTexts(outcome.path, c.texts);
    EXPECT_EQ(PdfImages(outcome.path).size(), c.images);
    if (!c.open && !c.radius && !c.vee) {
      EXPECT_FALSE(HasWordAt(outcome.path, 240));
    }
  }
}

TEST(ReportPdf, StoredResultsWithOnlyTheHorizontalSnapshot) {
  TempFolder home;
  ReportInputs in = ExampleInputs(home.Path());
  in.snapshots[1].down = true;
  in.showOpen = in.showRadius = in.showAlpha = in.showLevel = true;
  in.mmLabel1 = in.mmLabel2 = in.RadiusLabel = "mil";
  in.jobId = "A/17";
  in.materialIndex = 2;
  in.fiberText = "1.6";
  ReportEnvironment environment = QuietEnvironment();
  ReportComposer composer;
  const ReportOutcome outcome = composer.CreatePDF(kStoredResultsReport, in, environment);
  ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
  EXPECT_EQ(outcome.path.filename(), "VQX_A_17_20160308_090507.pdf");
  ExpectTexts(outcome.path, {
      {24, 125, "JOB ID::"}, {180, 125, "A/17"},  // the ID printed as typed
      {24, 150, "Pertinax"}, {24, 164, "1.6mm"},
      {250, 150, "Horizontal"},
      {250, 180, "0.501"}, {300, 180, "mil"},
      {250, 210, "1.011"}, {300, 210, "mil"},
      {250, 240, "21\u00b0"},
      {250, 270, "0.251"}, {300, 270, "mil"},
      {250, 300, "41\u00b0"},
      {250, 330, "1.9685"}, {300, 330, "mil"},
  });
  for (double x : {100.0, 450.0}) {
    EXPECT_EQ(TextAt(PdfWords(outcome.path), x, 180), "") << x;
  }
  // Logo, the six icons, one snapshot picture of 1280 x 1022 in 180 x 144 points.
  const std::vector<PdfImage> images = PdfImages(outcome.path);
  ASSERT_EQ(images.size(), 8u);
  EXPECT_EQ(std::make_pair(images[7].width, images[7].height), std::make_pair(1280, 1022));
  EXPECT_EQ(std::make_pair(images[7].xPpi, images[7].yPpi), std::make_pair(512, 511));
}

TEST(ReportPdf, StoredResultsIconsFollowTheShowFlags) {
  TempFolder home;
  ReportInputs in = ExampleInputs(home.Path());
  for (ReportSnapshot& s : in.snapshots) s.down = true;
  ReportEnvironment environment = QuietEnvironment();
  ReportComposer composer;
  const ReportOutcome outcome = composer.CreatePDF(kStoredResultsReport, in, environment);
  ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
  ExpectTexts(outcome.path, {{100, 150, "Vertical"}, {250, 150, "Horizontal"}, {450, 150, "Diagonal"},
                             {450, 180, "0.502"}, {500, 210, "mm"}});
  EXPECT_FALSE(HasWordAt(outcome.path, 240));
  EXPECT_FALSE(HasWordAt(outcome.path, 330));
  EXPECT_EQ(PdfImages(outcome.path).size(), 6u);  // logo, depth and width icons, three pictures
}

// Grey level of the rendered page at (x, y) points, rendered at 36 dpi.
class RenderedPage {
public:
  explicit RenderedPage(const std::filesystem::path& pdf) {
    const std::filesystem::path png = pdf.parent_path() / "rendered.png";
    std::string bytes;
    ok_ = RenderPage(pdf, 36, png) && ReadWholeFile(png, bytes).ok && DecodePng(bytes, "rendered", page_).ok;
    std::filesystem::remove(png);
  }
  bool ok() const { return ok_; }
  int GreyAt(double x, double y) const {
    const std::uint8_t* p = page_.Pixel(static_cast<int>(x / 2), static_cast<int>(y / 2));
    return (p[0] + p[1] + p[2]) / 3;
  }

private:
  bool ok_ = false;
  Bitmap page_;
};

TEST(ReportPdf, CutPicturesAreInvertedWhenTheSettingsAskAndSitInTheirColumn) {
  for (const bool invert : {false, true}) {
    TempFolder home;
    ReportInputs in = ExampleInputs(home.Path());
    in.invImage = invert;
    in.snapshots[1].down = true;  // only the horizontal snapshot
    in.rBild = Bitmap(1280, 1024);  // black
    in.snapshots[1].Img = in.rBild;
    ReportEnvironment environment = QuietEnvironment();
    ReportComposer composer;
    for (const int kind : {kMeasurementReport, kStoredResultsReport}) {
      const ReportOutcome outcome = composer.CreatePDF(kind, in, environment);
      ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
      const RenderedPage page(outcome.path);
      ASSERT_TRUE(page.ok());
      if (kind == kMeasurementReport) {
        EXPECT_EQ(page.GreyAt(274, 500) > 128, invert) << "inside the 500 x 400 box";
        EXPECT_GT(page.GreyAt(274, 720), 128) << "below the box";
      } else {
        EXPECT_EQ(page.GreyAt(298, 452) > 128, invert) << "the horizontal column's box";
        EXPECT_GT(page.GreyAt(114, 452), 128) << "the empty vertical column";
        EXPECT_GT(page.GreyAt(482, 452), 128) << "the empty diagonal column";
      }
      std::filesystem::remove(outcome.path);
    }
  }
}

TEST(ReportPdf, LevelRowInTheWidthUnit) {
  EXPECT_EQ(LevelInUnit("0.050", "mil"), std::make_pair(std::string("1.9685"), std::string("mil")));
  EXPECT_EQ(LevelInUnit("0.050", "Inch"), std::make_pair(std::string("0.0020"), std::string("Inch")));
  EXPECT_EQ(LevelInUnit("0.050", "mm"), std::make_pair(std::string("0.050"), std::string("mm")));
  EXPECT_EQ(LevelInUnit("0,5", "mil"), std::make_pair(std::string("19.6850"), std::string("mil")));
}

TEST(ReportPdf, CompressionOnlyWithSettingOne) {
  for (const int setting : {0, 1, 2}) {
    TempFolder home;
    ReportInputs in = ExampleInputs(home.Path());
    in.pdfCompression = setting;
    ReportEnvironment environment = QuietEnvironment();
    ReportComposer composer;
    const ReportOutcome outcome = composer.CreatePDF(kMeasurementReport, in, environment);
    ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
    const std::string bytes = ReadBytes(outcome.path);
    EXPECT_EQ(bytes.find("/FlateDecode") != std::string::npos, setting == 1) << setting;
    EXPECT_EQ(TextAt(PdfWords(outcome.path), 100, 180), "0.512") << setting;
  }
}

TEST(ReportPdf, FontsAreEmbeddedAndJapaneseHeadingsPrint) {
  TempFolder home;
  ReportInputs in = ExampleInputs(home.Path());
  in.language = "Japanese";
  in.jobIdLabel = "\u30b8\u30e7\u30d6ID:";
  in.snapshotHeadings = {"\u7e26\u65b9\u5411", "\u6a2a\u65b9\u5411", "\u659c\u3081\u65b9\u5411"};
  for (ReportSnapshot& s : in.snapshots) s.down = true;
  std::vector<std::string> messages;
  ReportEnvironment environment = QuietEnvironment();
  environment.showMessage = [&messages](const std::string& m) { messages.push_back(m); };
  ReportComposer composer;
  const ReportOutcome outcome = composer.CreatePDF(kStoredResultsReport, in, environment);
  ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
  ExpectTexts(outcome.path, {{100, 150, "\u7e26\u65b9\u5411"}, {250, 150, "\u6a2a\u65b9\u5411"},
                             {450, 150, "\u659c\u3081\u65b9\u5411"}, {24, 125, "\u30b8\u30e7\u30d6ID::"}});
  // "Arial" prints in its metric twin; the Japanese glyphs come from a face that has them.
  const std::vector<PdfFont> fonts = PdfFonts(outcome.path);
  ASSERT_GE(fonts.size(), 2u);
  bool latin = false, japanese = false;
  for (const PdfFont& f : fonts) {
    EXPECT_TRUE(f.embedded) << f.name;
    latin = latin || f.name.rfind("LiberationSans", 0) == 0;
    japanese = japanese || f.name.find("Gothic") != std::string::npos;
  }
  EXPECT_TRUE(latin);
  EXPECT_TRUE(japanese);
  ASSERT_EQ(messages.size(), 1u);  // neither Arial Unicode MS nor Meiryo here
  EXPECT_EQ(composer.JPFontName(), "Arial");
}

TEST(ReportPdf, SixLinesOfUserTextRunOverTheDateLine) {
  TempFolder home;
  ReportInputs in = ExampleInputs(home.Path());
  in.memoLines = {"one", "two", "three", "four", "five", "six"};
  ReportEnvironment environment = QuietEnvironment();
  ReportComposer composer;
  const ReportOutcome outcome = composer.CreatePDF(kMeasurementReport, in, environment);
  ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
  const std::vector<PdfWord> words = PdfWords(outcome.path);
  std::vector<std::string> at112;
  for (const PdfWord& w : words) {
    if (std::abs(w.yMin - 112) <= 1) at112.push_back(w.text);
  }
  EXPECT_NE(std::find(at112.begin(), at112.end(), "five"), at112.end());
  EXPECT_NE(std::find(at112.begin(), at112.end(), "08.03.2016-09:05:07"), at112.end());
  EXPECT_EQ(TextAt(words, 24, 123), "six");
}

TEST(ReportPdf, JobIdsThatCannotBeFileNamesStayInTheReportsFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"../x", "VQX_.._x_20160308_090507.pdf"}, {"a/b", "VQX_a_b_20160308_090507.pdf"},
      {"", "VQX_DEFAULT_20160308_090507.pdf"},   {".", "VQX_DEFAULT_20160308_090507.pdf"},
      {"..", "VQX_DEFAULT_20160308_090507.pdf"}, {"a\\b:c*d?e\"f<g>h|i\tj", "VQX_a_b_c_d_e_f_g_h_i_j_20160308_090507.pdf"},
      {"Job 12", "VQX_Job 12_20160308_090507.pdf"},
  };
  for (const auto& [id, name] : cases) {
    TempFolder home;
    ReportInputs in = ExampleInputs(home.Path());
    in.jobId = id;
    ReportEnvironment environment = QuietEnvironment();
    ReportComposer composer;
    const ReportOutcome outcome = composer.CreatePDF(kMeasurementReport, in, environment);
    ASSERT_TRUE(outcome.status.ok) << id << ": " << outcome.status.message;
    EXPECT_EQ(outcome.path, home.Path() / "Reports" / name) << id;
    EXPECT_EQ(FilesIn(home.Path() / "Reports"), std::vector<std::filesystem::path>{outcome.path}) << id;
  }
}

TEST(ReportPdf, FailuresNameTheFileAndLeaveNothing) {
  {  // no certificate logo in the home or the program folder
    TempFolder home;
    ReportInputs in = ExampleInputs(home.Path());
    in.programDir = home.Path() / "program";
    FakeView view;
    ReportEnvironment environment = QuietEnvironment();
    environment.calibrationView = &view;
    ReportComposer composer;
    const ReportOutcome outcome = composer.CreatePDF(kCalibrationCertificate, in, environment);
    EXPECT_FALSE(outcome.status.ok);
    EXPECT_NE(outcome.status.message.find("VELDRA_Logo.bmp"), std::string::npos) << outcome.status.message;
    EXPECT_NE(outcome.status.message.find("00057_VQX_20160308_090507.pdf"), std::string::npos);
    EXPECT_TRUE(FilesIn(home.Path() / "CALReports").empty());
    EXPECT_TRUE(view.shown.empty());
  }
  {  // a damaged logo in the home folder
    TempFolder home;
    WriteBytes(home / "VELDRA_Logo.bmp", "BM not a bitmap");
    ReportInputs in = ExampleInputs(home.Path());
    ReportEnvironment environment = QuietEnvironment();
    ReportComposer composer;
    const ReportOutcome outcome = composer.CreatePDF(kVerificationReport, in, environment);
    EXPECT_FALSE(outcome.status.ok);
    EXPECT_NE(outcome.status.message.find("VELDRA_Logo.bmp"), std::string::npos) << outcome.status.message;
    EXPECT_TRUE(FilesIn(home.Path() / "VerifyReports").empty());
  }
  {  // the reports folder cannot be made: a file stands in its place
    TempFolder home;
    WriteBytes(home / "Reports", "");
    ReportInputs in = ExampleInputs(home.Path());
    ReportEnvironment environment = QuietEnvironment();
    ReportComposer composer;
    const ReportOutcome outcome = composer.CreatePDF(kMeasurementReport, in, environment);
    EXPECT_FALSE(outcome.status.ok);
    EXPECT_NE(outcome.status.message.find("VQX_DEFAULT_20160308_090507.pdf"), std::string::npos) << outcome.status.message;
    EXPECT_EQ(FilesIn(home.Path()).size(), 1u);
  }
  {  // other kinds only stamp the time
    TempFolder home;
    ReportInputs in = ExampleInputs(home.Path());
    ReportEnvironment environment = QuietEnvironment();
    ReportComposer composer;
    const ReportOutcome outcome = composer.CreatePDF(7, in, environment);
    EXPECT_TRUE(outcome.path.empty());
    EXPECT_EQ(composer.sdr(), "08.03.2016-09:05:07");
    EXPECT_TRUE(FilesIn(home.Path()).empty());
  }
}

}  // namespace
