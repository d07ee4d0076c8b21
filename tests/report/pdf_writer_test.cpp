// The PDF writer on its own: text runs across faces, pictures, and the
// failures that must leave no file behind.
#include <gtest/gtest.h>

#include "imaging/jpeg_export.h"
#include "platform/pdf_writer.h"
#include "tests/report/poppler_tools.h"
#include "tests/temp_folder.h"

namespace {

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
  return files;
}

TEST(PdfWriter, MixedScriptsRunOnWithoutGaps) {
  TempFolder folder;
  PdfWriter writer(false);
  writer.SetFileName(folder / "mixed.pdf");
  writer.BeginDoc();
  writer.SetFont("Arial", false, 12);
  writer.TextOut(50, 100, "AB\u7e26\u65b9\u5411CD");
  writer.SetFont("Arial", true, 10);
  writer.TextOut(300.5, 400.25, "x");
  ASSERT_TRUE(writer.EndDoc().ok);
  const std::vector<PdfWord> words = PdfWords(folder / "mixed.pdf");
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[0].text, "AB\u7e26\u65b9\u5411CD");  // one word: the runs touch
  EXPECT_NEAR(words[0].xMin, 50, 0.01);
  EXPECT_NEAR(words[0].yMin, 100, 0.01);
  EXPECT_NEAR(words[1].xMin, 300.5, 0.01);
  EXPECT_NEAR(words[1].yMin, 400.25, 0.01);
  EXPECT_EQ(PdfFonts(folder / "mixed.pdf").size(), 3u);  // Latin regular, Japanese, Latin bold
}

TEST(PdfWriter, PicturesKeepTheirPixelsAndFillTheirBox) {
  TempFolder folder;
  Bitmap picture(64, 48);
  picture.Fill(10, 200, 30);
  std::string jpeg, error;
  ASSERT_TRUE(EncodeJpeg(picture, 85, jpeg, error)) << error;
  PdfWriter writer(false);
  writer.SetFileName(folder / "picture.pdf");
  writer.BeginDoc();
  const int index = writer.AddJpegImage(jpeg);
  ASSERT_EQ(index, 0);
  writer.ShowImage(index, 100, 100, 32, 24);  // 64 pixels over 32 points: 144 per inch
  writer.ShowImage(index, 100, 200, 64, 48);
  ASSERT_TRUE(writer.EndDoc().ok);
  const std::vector<PdfImage> images = PdfImages(folder / "picture.pdf");
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].width, 64);
  EXPECT_EQ(images[0].height, 48);
  EXPECT_EQ(images[0].xPpi, 144);
  EXPECT_EQ(images[1].xPpi, 72);
}

TEST(PdfWriter, FailuresWriteNothing) {
  TempFolder folder;
  {
    PdfWriter writer(false);
    writer.SetFileName(folder / "damaged.pdf");
    writer.BeginDoc();
    EXPECT_EQ(writer.AddJpegImage("not a jpeg"), -1);
    writer.ShowImage(0, 0, 0, 10, 10);
    const FileStatus status = writer.EndDoc();
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find("damaged.pdf"), std::string::npos) << status.message;
  }
  {
    PdfWriter writer(false);
    writer.SetFileName(folder / "unknown.pdf");
    writer.BeginDoc();
    writer.ShowImage(3, 0, 0, 10, 10);
    EXPECT_FALSE(writer.EndDoc().ok);
  }
  {
    PdfWriter writer(false);
    writer.SetFileName(folder / "unbegun.pdf");
    EXPECT_FALSE(writer.EndDoc().ok);
  }
  {
    PdfWriter writer(false);
    writer.SetFileName(folder / "missing" / "folder.pdf");
    writer.BeginDoc();
    writer.TextOut(10, 10, "text");
    const FileStatus status = writer.EndDoc();
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find("folder.pdf"), std::string::npos) << status.message;
  }
  EXPECT_TRUE(FilesIn(folder.Path()).empty());
}

}  // namespace
