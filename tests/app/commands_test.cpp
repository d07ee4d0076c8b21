#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "imaging/profile_row.h"
#include "imaging/tool_image.h"
#include "measure/settings_file.h"
#include "platform/atomic_file.h"
#include "tests/app/program_fixture.h"

namespace {

std::string Read(const std::filesystem::path& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// A program with one simulated measurement on screen.
class MeasuredProgram : public ::testing::Test {
protected:
  void SetUp() override {
    f.Start();
    main().FormActivate();
    main().Refreshbtn->click();
    ASSERT_TRUE(PumpUntil([&] { return f.program->Camera().VideoStatus == 2; }));
    main().Capturebtn->click();
    ASSERT_TRUE(PumpUntil([&] { return main().DepthResult->text() != "0.000"; }));
  }
  TFrmMain& main() { return f.program->Main(); }
  ProgramFixture f;
};

TEST_F(MeasuredProgram, SaveByExtension) {
  // .jpg: the result picture with its overlay, as JPEG.
  main().SaveImageFile(Q(f.home / "result.jpg"));
  const std::string jpeg = Read(f.home / "result.jpg");
  ASSERT_GT(jpeg.size(), 1000u);
  EXPECT_EQ(static_cast<unsigned char>(jpeg[0]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(jpeg[1]), 0xD8);
  QImage decoded;
  ASSERT_TRUE(decoded.loadFromData(reinterpret_cast<const uchar*>(jpeg.data()), static_cast<int>(jpeg.size())));
  EXPECT_EQ(decoded.size(), QSize(1280, 1024));
  // The overlay's yellow depth marker is in the JPEG (within compression noise).
  const TChannel& c = f.program->Context().state.MyChannel;
  const QColor marker = decoded.pixelColor(c.spunkt, Round((c.spunkt * c.tm + c.tc + f.program->Context().state.MyLine[c.spunkt]) / 2));
  EXPECT_GT(marker.red(), 200);
  EXPECT_GT(marker.green(), 200);
  EXPECT_LT(marker.blue(), 80);
  EXPECT_EQ(main().statusPanels[5]->text(), Q(f.home / "result.jpg"));

  // .CRY: the raw image, whose profile loads back as it was extracted.
  main().SaveImageFile(Q(f.home / "scan.CRY"));
  Bitmap stored;
  ASSERT_TRUE(LoadBmpAsPng(stored, f.home / "scan.CRY").ok);
  EXPECT_TRUE(stored == main().Images().iBild);
  TProfileLine line{};
  UnpackProfileRow(stored, line);
  EXPECT_EQ(line, f.program->Context().state.OLine);

  // Any other extension: nothing but the status text.
  main().SaveImageFile(Q(f.home / "picture.png"));
  EXPECT_FALSE(std::filesystem::exists(f.home / "picture.png"));
  EXPECT_EQ(main().statusPanels[5]->text(), Q(f.home / "picture.png"));
  EXPECT_TRUE(f.user.messages.empty());
}

TEST_F(MeasuredProgram, SaveDialogCreatesTheImagesFolderAndLoadTakesLowerCaseCry) {
  f.user.fileNames = {Q(f.home / "Images/first.cry")};
  main().SavebtnClick();
  EXPECT_TRUE(std::filesystem::is_directory(f.home / "Images"));
  ASSERT_TRUE(std::filesystem::exists(f.home / "Images/first.cry"));
  const Bitmap saved = main().Images().iBild;

  f.user.fileNames = {Q(f.home / "Images/first.cry")};
  main().LoadbtnClick();
  EXPECT_EQ(main().DepthResult->text(), "0.000");  // loading does not analyse
  EXPECT_EQ(main().statusPanels[5]->text(), Q(f.home / "Images/first.cry"));
  EXPECT_TRUE(main().Images().iBild == saved);
  main().AnalyzebtnClick();
  EXPECT_NE(main().DepthResult->text(), "0.000");
  // A name with another extension loads nothing.
  main().LoadImageFile(Q(f.home / "Images/first.png"));
  EXPECT_EQ(main().statusPanels[5]->text(), Q(f.home / "Images/first.cry"));
}

TEST_F(MeasuredProgram, SnapshotButtonDownUpDown) {
  const std::string first = main().DepthResult->text().toStdString();
  main().VBtn->click();  // down: filled
  EXPECT_EQ(main().Snapshot(kSnapshotV).Depth, first);
  EXPECT_EQ(main().Snapshot(kSnapshotV).Level, "0.000");
  ASSERT_NE(main().Snapshot(kSnapshotV).Img, nullptr);
  EXPECT_TRUE(*main().Snapshot(kSnapshotV).Img == main().Images().rBild);
  main().DepthResult->setText("9.999");
  main().VBtn->click();  // up: unchanged
  EXPECT_EQ(main().Snapshot(kSnapshotV).Depth, first);
  main().VBtn->click();  // down again: replaced
  EXPECT_EQ(main().Snapshot(kSnapshotV).Depth, "9.999");
  EXPECT_TRUE(main().Snapshot(kSnapshotH).Depth.empty());
}

TEST_F(MeasuredProgram, ReportKindBySnapshotsAndAllButtonsUpAfterwards) {
  std::vector<int> kinds;
  main().SetReportComposer([&](int kind) { kinds.push_back(kind); });
  main().CreateReportbtn->click();
  main().Hbtn->click();
  main().dbtn->click();
  main().CreateReportbtn->click();
  EXPECT_EQ(kinds, (std::vector<int>{1, 2}));
  EXPECT_FALSE(main().VBtn->isChecked() || main().Hbtn->isChecked() || main().dbtn->isChecked());
}

// Text of a PDF as poppler's pdftotext reads it.
std::string PdfText(const std::filesystem::path& pdf) {
  std::string text;
  FILE* pipe = ::popen(("pdftotext '" + pdf.string() + "' - 2>/dev/null").c_str(), "r");
  if (!pipe) return text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  ::pclose(pipe);
  return text;
}

TEST_F(MeasuredProgram, ReportButtonWritesTheMeasurementReport) {
  f.program->openReports = false;
  main().JobIDEdit->setText("Die 4711/B");
  main().CreateReportbtn->click();
  ASSERT_TRUE(f.user.messages.empty()) << f.user.messages[0].toStdString();
  const std::filesystem::path pdf = f.program->lastReport;
  ASSERT_TRUE(std::filesystem::is_regular_file(pdf)) << pdf;
  EXPECT_EQ(pdf.parent_path(), f.home / "Reports");
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find(main().DepthResult->text().toStdString()), std::string::npos) << text;
  EXPECT_NE(text.find(main().WidthResult->text().toStdString()), std::string::npos) << text;
  // The JOB ID names the file, with what a file name cannot hold replaced.
  EXPECT_TRUE(pdf.filename().string().starts_with("VQX_Die 4711_B_")) << pdf;

  // With a snapshot down: the stored results with the JOB ID as typed, then
  // every button up.
  main().VBtn->click();
  main().CreateReportbtn->click();
  ASSERT_TRUE(std::filesystem::is_regular_file(f.program->lastReport));
  const std::string stored = PdfText(f.program->lastReport);
  EXPECT_NE(stored.find("Die 4711/B"), std::string::npos) << stored;
  EXPECT_NE(stored.find("Vertical"), std::string::npos) << stored;
  EXPECT_FALSE(main().VBtn->isChecked());
}

TEST_F(MeasuredProgram, ReportIntoAFolderThatCannotBeMadeSaysWhyAndKeepsRunning) {
  f.program->openReports = false;
  std::ofstream(f.home / "Reports") << "a file where the folder belongs";
  main().CreateReportbtn->click();
  ASSERT_EQ(f.user.messages.size(), 1u);
  EXPECT_TRUE(f.user.messages[0].contains("Reports")) << f.user.messages[0].toStdString();
  EXPECT_TRUE(f.program->lastReport.empty());
}

TEST_F(MeasuredProgram, VerifyWorksInMillimetresWithThreeDecimalsAndRestoresMil) {
  // The user chooses mil with two decimals.
  TFrmSettings& settings = f.program->Settings();
  f.user.beforeModal = [&](QDialog*) {
    settings.findChild<QRadioButton*>("Screenrulinggrp_2")->click();
    settings.findChild<QRadioButton*>("Digitsgrp_2")->click();
  };
  main().Settings1Click();
  f.user.beforeModal = nullptr;
  MeasureState& state = f.program->Context().state;
  ASSERT_EQ(state.Units, 1000);
  ASSERT_EQ(state.Digits, 2);
  EXPECT_EQ(main().mmLabel1->text(), "mil");

  double unitsInside = 0;
  int digitsInside = 0;
  int destinationInside = -1;
  bool slopePanel = true;
  main().SetVerification(nullptr, [&](bool slopes) {
    unitsInside = state.Units;
    digitsInside = state.Digits;
    destinationInside = f.program->Context().CALAktive;
    slopePanel = slopes;
  });
  main().Verify1Click();
  EXPECT_EQ(unitsInside, 25.4);
  EXPECT_EQ(digitsInside, 3);
  EXPECT_EQ(destinationInside, 2);
  EXPECT_FALSE(slopePanel);  // no service code in the demo settings
  EXPECT_EQ(state.Units, 1000);
  EXPECT_EQ(state.Digits, 2);
  EXPECT_EQ(f.program->Context().CALAktive, 0);
}

TEST_F(MeasuredProgram, SeriesRecordsThreeMeasurementsAndStartEmptiesTheFile) {
  // START cancelled: stopped, results to the window.
  main().StartbtnClick();
  EXPECT_FALSE(main().Timer1->isActive());
  EXPECT_EQ(f.program->Context().CALAktive, 0);

  const std::filesystem::path record = f.home / "series.txt";
  f.user.fileNames = {Q(record)};
  main().StartbtnClick();
  ASSERT_TRUE(main().Timer1->isActive());
  EXPECT_EQ(f.program->Context().CALAktive, 3);
  ASSERT_TRUE(PumpUntil([&] { return main().CECounter >= 3; }, 60000));
  main().STOPbtnClick();
  EXPECT_FALSE(main().Timer1->isActive());
  const std::string text = Read(record);
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  ASSERT_GE(lines.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    // counter, depth and width as shown (three decimals in mm), date and time
    std::vector<std::string> fields;
    for (std::size_t start = 0, tab;; start = tab + 1) {
      tab = lines[i].find('\t', start);
      fields.push_back(lines[i].substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
    }
    ASSERT_EQ(fields.size(), 4u) << lines[i];
    EXPECT_EQ(fields[0], std::to_string(i + 1));
    EXPECT_EQ(fields[1].size(), 5u) << fields[1];
    EXPECT_EQ(fields[1][1], '.');
    EXPECT_EQ(fields[3].size(), 19u) << fields[3];
  }
  EXPECT_EQ(main().CE_CounterLabel->text(), QString::number(main().CECounter));

  // START again empties the file and counts from 0.
  f.user.fileNames = {Q(record)};
  main().StartbtnClick();
  main().STOPbtnClick();
  EXPECT_EQ(Read(record), "");
  EXPECT_EQ(main().CECounter, 0);

  // A failed level check is recorded as shown.
  f.program->Context().state.MyChannel.levelOK = 2;
  main().ShowResults();
  main().SaveDataToFile();
  EXPECT_NE(Read(record).find("1\t"), std::string::npos);
  EXPECT_NE(Read(record).find("\t- . - - -\t"), std::string::npos);
}

TEST_F(MeasuredProgram, StartWithAFileThatCannotBeCreatedSaysSo) {
  f.user.fileNames = {Q(f.home / "no such folder/series.txt")};
  main().StartbtnClick();
  ASSERT_EQ(f.user.messages.size(), 1u);
  EXPECT_EQ(f.user.messages[0], "Invalid File!");
  EXPECT_EQ(f.user.captions[0], "File Access Problem!");
  EXPECT_FALSE(main().Timer1->isActive());
  EXPECT_EQ(f.program->Context().CALAktive, 0);
}

TEST(SettingsCommand, ClosedWithTheCloseBoxWritesSettingsButNotTheReportText) {
  ProgramFixture f;
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  TFrmSettings& settings = f.program->Settings();
  f.user.modalResult = 2;
  f.user.beforeModal = [&](QDialog*) {
    settings.Memo1->setPlainText("Die shop Miller");
    settings.ShowOpenbx->setChecked(false);
    settings.LevelEdit->setText("0,05");
  };
  main.Settings1Click();
  const ProgramSettings written = LoadSettings(f.home / "VELDRAQX.INI");
  EXPECT_FALSE(written.ShowOpen);
  const TImgCalibration& cal = f.program->Context().state.ImgCalibration;
  EXPECT_NEAR(written.Level, 0.05 * cal.PixelPerInch / 25.4 / cal.ZFaktor / cal.DFaktor, 1e-9);
  EXPECT_FALSE(std::filesystem::exists(f.home / "PRLOGO.txt"));
  EXPECT_FALSE(main.OpenGroup->isVisibleTo(&main));
  // The field shows what was stored.
  f.user.beforeModal = nullptr;
  main.Settings1Click();
  EXPECT_EQ(settings.LevelEdit->text(), "0.050");

  // OK saves the report text.
  f.user.modalResult = 1;
  f.user.beforeModal = [&](QDialog*) { settings.OKbtn->click(); };
  main.Settings1Click();
  EXPECT_EQ(Read(f.home / "PRLOGO.txt"), "Die shop Miller\r\n");
}

TEST(SettingsCommand, ReportLogoFromPictures) {
  ProgramFixture f;
  f.Start();
  f.program->Main().FormActivate();
  TFrmSettings& settings = f.program->Settings();
  QImage wide(400, 100, QImage::Format_RGB32);
  wide.fill(QColor(10, 20, 30));
  ASSERT_TRUE(wide.save(Q(f.home / "wide.png")));
  ASSERT_TRUE(wide.save(Q(f.home / "wide.gif.png")));
  std::filesystem::copy_file(f.home / "wide.png", f.home / "wide.gif");

  EXPECT_FALSE(settings.LoadReportLogo(Q(f.home / "wide.gif")));
  EXPECT_FALSE(std::filesystem::exists(f.home / "PRLOGO.bmp"));

  ASSERT_TRUE(settings.LoadReportLogo(Q(f.home / "wide.png")));
  QImage logo(Q(f.home / "PRLOGO.bmp"));
  EXPECT_EQ(logo.size(), QSize(400, 156));
  EXPECT_EQ(logo.pixelColor(0, 0), QColor(10, 20, 30));
  EXPECT_EQ(logo.pixelColor(0, 120), QColor(Qt::white));

  QImage square(100, 100, QImage::Format_RGB32);
  square.fill(QColor(200, 0, 0));
  ASSERT_TRUE(square.save(Q(f.home / "square.jpg"), "JPEG", 100));
  ASSERT_TRUE(settings.LoadReportLogo(Q(f.home / "square.jpg")));
  logo.load(Q(f.home / "PRLOGO.bmp"));
  EXPECT_EQ(logo.size(), QSize(256, 100));
  EXPECT_GT(logo.pixelColor(254, 50).red(), 180);
  EXPECT_EQ(logo.pixelColor(255, 50), QColor(Qt::white));
  EXPECT_EQ(logo.pixelColor(154, 50), QColor(Qt::white));
}

TEST(SettingsCommand, BrokenReportLogoIsNamedAndTheBrandLogoUsed) {
  ProgramFixture f([](const std::filesystem::path& home) { std::ofstream(home / "PRLOGO.bmp") << "BM broken"; });
  f.Start();
  f.program->Main().FormActivate();
  ASSERT_EQ(f.user.messages.size(), 1u);
  EXPECT_TRUE(f.user.messages[0].contains("PRLOGO.bmp")) << f.user.messages[0].toStdString();
  EXPECT_EQ(f.program->Settings().LogoBmp.Width(), 200);
  EXPECT_EQ(f.program->Settings().LogoBmp.Height(), 78);
}

TEST(SettingsCommand, PasswordEnablesTheFibreField) {
  ProgramFixture f;
  f.Start();
  TFrmSettings& settings = f.program->Settings();
  EXPECT_FALSE(settings.FiberEdit->isEnabled());
  settings.PwdEdit->setText("yemp&");
  EXPECT_FALSE(settings.FiberEdit->isEnabled());
  settings.PwdEdit->setText("Yemp&");
  EXPECT_TRUE(settings.FiberEdit->isEnabled());
}

}  // namespace
