#include "report/report_composer.h"

#include <chrono>
#include <system_error>
#include <thread>

#include "imaging/bmp_codec.h"
#include "imaging/jpeg_export.h"
#include "imaging/pixel_ops.h"
#include "platform/file_names.h"
#include "platform/pdf_writer.h"
#include "report/report_font.h"
#include "report/report_layouts.h"

namespace {

constexpr const char* kLogoFile = "VELDRA_Logo.bmp";

// The report page over the PDF writer: every picture goes in as a JPEG.
class PdfReportPage final : public ReportPage {
public:
  PdfReportPage(PdfWriter& writer, const std::string& family, bool invert)
      : writer_(writer), family_(family), invert_(invert) {}

  void Font(bool bold, double size) override { writer_.SetFont(family_, bold, size); }
  void Text(double x, double y, const std::string& text) override { writer_.TextOut(x, y, text); }

  void Picture(const Bitmap& picture, double x, double y, double width, double height, bool cut) override {
    if (picture.Empty() || writer_.Failed()) return;
    const Bitmap* source = &picture;
    Bitmap work;
    if (cut) {
      work = picture;
      if (invert_) InvImg(work, work);
      work = WithoutBottomRows(work, 2);
      if (work.Empty()) return;
      source = &work;
    }
    std::string jpeg;
    std::string error;
    if (!EncodeJpeg(*source, kReportJpegQuality, jpeg, error)) return;
    writer_.ShowImage(writer_.AddJpegImage(jpeg), x, y, width, height);
  }

private:
  static Bitmap WithoutBottomRows(const Bitmap& picture, int rows) {
    Bitmap out(picture.Width(), picture.Height() - rows);
    for (int y = 0; y < out.Height(); ++y) std::copy_n(picture.Row(y), picture.RowBytes(), out.Row(y));
    return out;
  }

  PdfWriter& writer_;
  std::string family_;
  bool invert_;
};

void Pause(EventLoop* events) {
  if (events) events->ProcessPendingEvents();
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace

std::filesystem::path CertificateLogoPath(const ReportInputs& inputs) {
  const std::filesystem::path inHome = FindPathIgnoringCase(inputs.homeDir, kLogoFile);
  std::error_code error;
  if (std::filesystem::is_regular_file(inHome, error) || inputs.programDir.empty()) return inHome;
  const std::filesystem::path inProgram = FindPathIgnoringCase(inputs.programDir, kLogoFile);
  return std::filesystem::is_regular_file(inProgram, error) ? inProgram : inHome;
}

FileStatus ReportComposer::CreateJPPDF(const std::filesystem::path& FileName, int Index, bool Show,
                                       const ReportInputs& inputs,
                                       const std::function<void(const std::string&)>& showMessage) {
  const ReportFontChoice font = SetRepFont(inputs.language);
  JPFontName_ = font.JPFontName;
  if (!font.message.empty() && showMessage) showMessage(font.message);

  Bitmap logo;
  if (Index == kCalibrationCertificate || Index == kVerificationReport) {
    const std::filesystem::path logoPath = CertificateLogoPath(inputs);
    const FileStatus loaded = LoadBmpFile(logo, logoPath);
    if (!loaded.ok) return FileStatus::Failure("Cannot write the report " + QuotedPath(FileName) + ": " + loaded.message);
  } else {
    logo = inputs.logoBmp;
  }

  PdfWriter writer(Show);
  writer.SetInfo("VELDRA QX REPORT", "VELDRA QX REPORT", "SANTIR VELDRA VQX", kReportAuthor);
  writer.SetCompression(inputs.pdfCompression == 1);
  writer.SetFileName(FileName);
  writer.BeginDoc();
  PdfReportPage page(writer, JPFontName_, inputs.invImage);
  page.Picture(logo, 370, 24, 200, 78, false);
  page.Font(false, 9);
  for (std::size_t i = 0; i < inputs.memoLines.size(); ++i) page.Text(24, 68 + 11.0 * static_cast<double>(i), inputs.memoLines[i]);
  page.Text(24, 112, sdr_);
  page.Font(false, 8);
  page.Text(24, 810, Index == kCalibrationCertificate ? FileName.filename().string() : FileName.string());
  const ReportTitle title = TitleOf(Index);
  page.Font(true, 20);
  page.Text(24, 24, title.first);
  page.Text(24, 44, title.second);
  PrintReportBody(page, Index, inputs);
  return writer.EndDoc();
}

ReportOutcome ReportComposer::CreatePDF(int Index, const ReportInputs& inputs, ReportEnvironment& environment) {
  const std::tm now = environment.clock();
  const std::string stamp = FileTimeStamp(now);
  sdr_ = HeaderTimeStamp(now);
  const std::string folderName = ReportFolderName(Index);
  if (folderName.empty()) return {};

  const std::filesystem::path folder = inputs.homeDir / folderName;
  std::error_code ignored;  // a folder that cannot be made shows as a failure to write the report
  std::filesystem::create_directory(folder, ignored);
  ReportOutcome outcome;
  outcome.path = folder / ReportFileName(Index, inputs.serial, inputs.jobId, stamp);
  const bool show = (Index == kMeasurementReport || Index == kStoredResultsReport) && environment.openViewer;
  outcome.status = CreateJPPDF(outcome.path, Index, show, inputs, environment.showMessage);
  if (!outcome.status.ok) return outcome;

  ReportDocumentView* view = Index == kCalibrationCertificate ? environment.calibrationView
                             : Index == kVerificationReport   ? environment.verificationView
                                                              : nullptr;
  if (!view) return outcome;
  using Clock = std::chrono::steady_clock;
  const auto limit = std::chrono::milliseconds(kReportWaitMs);
  auto start = Clock::now();
  while (!std::filesystem::is_regular_file(outcome.path, ignored) && Clock::now() - start <= limit) Pause(environment.events);
  start = Clock::now();
  while (Clock::now() - start < limit && (view->Busy() || view->ReadyState() < 4)) Pause(environment.events);
  view->Navigate(outcome.path);
  return outcome;
}
