// Each report kind rendered by poppler and compared with its committed
// reference picture, within a small tolerance for the JPEG pictures and the
// renderer's antialiasing. The footer band is left out: it shows the path of
// the temporary home folder.
//
// VQX_UPDATE_REPORT_REFERENCES=1 rewrites the references (tests/report/data);
// VQX_REPORT_DOCS=FOLDER also writes larger renders for the documentation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "imaging/png_codec.h"
#include "platform/atomic_file.h"
#include "report/report_composer.h"
#include "tests/report/poppler_tools.h"
#include "tests/report/report_fixture.h"
#include "tests/temp_folder.h"

namespace {

constexpr int kDpi = 40;
constexpr int kFooterTopPoints = 800;
constexpr int kDocsDpi = 72;

const char* const kNames[] = {"calibration_certificate", "measurement_report", "stored_results_report",
                              "verification_report"};

std::filesystem::path ReferencePath(int kind) {
  return std::filesystem::path(VQX_SOURCE_DIR) / "tests" / "report" / "data" / (std::string(kNames[kind]) + ".png");
}

ReportInputs InputsFor(int kind, const std::filesystem::path& home) {
  ReportInputs in = ExampleInputs(home);
  if (kind == kStoredResultsReport) {
    in.snapshots[0].down = in.snapshots[2].down = true;
    in.showOpen = in.showLevel = true;
  }
  return in;
}

TEST(ReportReference, EachKindLooksAsItsReference) {
  for (int kind = 0; kind < 4; ++kind) {
    TempFolder home;
    ReportEnvironment environment = QuietEnvironment();
    ReportComposer composer;
    const ReportOutcome outcome = composer.CreatePDF(kind, InputsFor(kind, home.Path()), environment);
    ASSERT_TRUE(outcome.status.ok) << outcome.status.message;
    const std::filesystem::path rendered = home / "page.png";
    ASSERT_TRUE(RenderPage(outcome.path, kDpi, rendered)) << "pdftoppm from poppler-utils is needed";
    if (std::getenv("VQX_UPDATE_REPORT_REFERENCES")) {
      std::filesystem::copy_file(rendered, ReferencePath(kind), std::filesystem::copy_options::overwrite_existing);
    }
    if (const char* docs = std::getenv("VQX_REPORT_DOCS")) {
      ASSERT_TRUE(RenderPage(outcome.path, kDocsDpi, std::filesystem::path(docs) / (std::string(kNames[kind]) + ".png")));
    }
    std::string bytes;
    Bitmap page, reference;
    ASSERT_TRUE(ReadWholeFile(rendered, bytes).ok);
    ASSERT_TRUE(DecodePng(bytes, "rendered", page).ok);
    ASSERT_TRUE(ReadWholeFile(ReferencePath(kind), bytes).ok) << ReferencePath(kind);
    ASSERT_TRUE(DecodePng(bytes, "reference", reference).ok);
    ASSERT_EQ(page.Width(), reference.Width()) << kNames[kind];
    ASSERT_EQ(page.Height(), reference.Height()) << kNames[kind];
    const int rows = kFooterTopPoints * kDpi / 72;
    long long compared = 0, off = 0;
    for (int y = 0; y < rows; ++y) {
      for (std::size_t i = 0; i < page.RowBytes(); ++i, ++compared) {
        if (std::abs(page.Row(y)[i] - reference.Row(y)[i]) > 24) ++off;
      }
    }
    EXPECT_LT(off, compared / 500) << kNames[kind] << ": " << off << " of " << compared << " bytes differ";
  }
}

}  // namespace
