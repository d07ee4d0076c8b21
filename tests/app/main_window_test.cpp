#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QProgressBar>
#include <QScrollArea>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include <fstream>

#include <gtest/gtest.h>

#include "app/about_dialog.h"
#include "app/connect_dialog.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "capture/simulated_gauge.h"
#include "imaging/measurement.h"
#include "imaging/tool_image.h"
#include "history/history.h"
#include "measure/calibration_file.h"
#include "measure/job_catalogue.h"
#include "measure/settings_file.h"
#include "platform/atomic_file.h"
#include "shell/startup.h"
#include "tests/app/program_fixture.h"
#include "ui/image_view.h"

namespace {

void Write(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; }

std::string Read(const std::filesystem::path& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

QColor TextColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

// Refresh, then wait for the live picture (state 2) before the key is pressed.
bool GoLive(ProgramFixture& f) {
  f.program->Main().Refreshbtn->click();
  return PumpUntil([&] { return f.program->Camera().VideoStatus == 2; });
}

TEST(MainWindowStartup, DemoHomeShowsCaptionAndStationHidesDeviceEntries) {
  ProgramFixture f;
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  EXPECT_FALSE(main.firstActivatePending());
  EXPECT_TRUE(f.user.fatal.empty());
  EXPECT_EQ(main.windowTitle(), "VELDRA QuadraGauge v0.1.0.0 SN 00001");
  // The demo home is a calibration station's (its station file is made for the simulated gauge).
  EXPECT_TRUE(main.Calibrate1->isVisible());
  EXPECT_FALSE(main.Connect1->isVisible());
  EXPECT_TRUE(f.user.modalShown.empty());
  EXPECT_EQ(f.program->Context().cf_inifile, f.home / "VELDRAQX.INI");
  EXPECT_EQ(f.program->Context().state.ImgCalibration.PixelPerInch, 3573);
  // Texts from the language file.
  EXPECT_EQ(main.Refreshbtn->toolTip(), "Live picture");
  EXPECT_EQ(main.JobIDLabel->text(), "JOB ID:");
  EXPECT_EQ(main.JobIDEdit->text(), "DEFAULT");
  EXPECT_EQ(main.Manual1->text(), "&Manual");
  // Display options of the demo settings.
  EXPECT_TRUE(main.OpenGroup->isVisibleTo(&main));
  EXPECT_EQ(main.mmLabel1->text(), "mm");
}

// A calibration or unit no gauge can have is named to the operator at start
// and never measured with: the gauge keeps the uncalibrated defaults.
TEST(MainWindowStartup, RefusedCalibrationAndUnitAreNamed) {
  ProgramFixture f([](const std::filesystem::path& home) {
    std::string ini = Read(home / "VELDRAQX.INI");
    ini.replace(ini.find("PixelPerInch=3573"), 17, "PixelPerInch=35");
    ini.replace(ini.find("UNITS_mm=254"), 12, "UNITS_mm=-1");
    Write(home / "VELDRAQX.INI", ini);
  });
  f.Start();
  f.program->Main().FormActivate();
  ASSERT_EQ(f.user.messages.size(), 2u);
  EXPECT_TRUE(f.user.messages[0].contains("key PixelPerInch of section [VELDRAQXCAL] is 35, outside 1800 .. 7200"))
      << f.user.messages[0].toStdString();
  EXPECT_TRUE(f.user.messages[1].contains("key UNITS_mm of section [VELDRAQX] is -1")) << f.user.messages[1].toStdString();
  const MeasureState& state = f.program->Context().state;
  EXPECT_NE(state.ImgCalibration.PixelPerInch, 35);
  EXPECT_EQ(state.Units, 25.4);
  EXPECT_EQ(f.program->Main().mmLabel1->text(), "mm");
}

TEST(MainWindowStartup, CalibrateEntryOnlyOnAStation) {
  for (const int code : {kCalibrationStationCode, kCalibrationStationCode + 1}) {
    ProgramFixture f([code](const std::filesystem::path& home) {
      Write(home / "VELDRAQXEICH.INI", "[VELDRAQX]\nISEICH=" + std::to_string(code) + "\n");
    });
    f.Start();
    f.program->Main().FormActivate();
    EXPECT_EQ(f.program->Main().Calibrate1->isVisible(), code == kCalibrationStationCode);
  }
}

TEST(MainWindowStartup, OneDeviceFileNeedsNoSelection) {
  ProgramFixture f([](const std::filesystem::path& home) {
    Write(home / "00042_VELDRAQX.INI", "[VELDRAQX]\nSERIAL=00042\n");
  });
  f.Start();
  f.program->Main().FormActivate();
  EXPECT_TRUE(f.user.modalShown.empty());
  EXPECT_FALSE(f.program->Main().Connect1->isVisible());
  EXPECT_EQ(f.program->Context().cf_inifile, f.home / "VELDRAQX.INI");
}

TEST(MainWindowStartup, TwoDeviceFilesCancelledRunsStartupOnceWithTheSettingsFile) {
  ProgramFixture f([](const std::filesystem::path& home) {
    Write(home / "00042_VELDRAQX.INI", "[VELDRAQX]\nSERIAL=00042\n");
    Write(home / "00043_VELDRAQX.INI", "[VELDRAQX]\nSERIAL=00043\n");
  });
  f.Start();
  f.user.modalResult = 2;
  const std::string before = Read(f.home / "VELDRAQX.INI");
  f.program->Main().FormActivate();
  ASSERT_EQ(f.user.modalShown.size(), 1u);
  EXPECT_EQ(f.user.modalShown[0], "FrmConnect");
  EXPECT_EQ(f.program->Connect().FileList->count(), 2);
  EXPECT_EQ(f.program->Context().cf_inifile, f.home / "VELDRAQX.INI");
  EXPECT_EQ(f.program->Context().state.SNEditText, "00001");
  EXPECT_FALSE(f.program->Main().firstActivatePending());
  EXPECT_EQ(Read(f.home / "VELDRAQX.INI"), before);
}

TEST(MainWindowStartup, ChosenDeviceFileBecomesTheFileInUse) {
  ProgramFixture f([](const std::filesystem::path& home) {
    Write(home / "00042_VELDRAQX.INI", "[VELDRAQX]\nSERIAL=00042\n[VELDRAQXCAL]\nPixelPerInch=4000\n");
    Write(home / "00043_VELDRAQX.INI", "[VELDRAQX]\nSERIAL=00043\n");
  });
  f.Start();
  f.user.beforeModal = [](QDialog* dialog) {
    auto* list = dialog->findChild<QListWidget*>("FileList");
    ASSERT_NE(list, nullptr);
    const auto items = list->findItems("00042_VELDRAQX", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    list->setCurrentItem(items[0]);
  };
  f.program->Main().FormActivate();
  EXPECT_EQ(f.program->Context().cf_inifile, f.home / "00042_VELDRAQX.INI");
  EXPECT_EQ(f.program->Context().state.SNEditText, "00042");
  EXPECT_EQ(f.program->Context().state.ImgCalibration.PixelPerInch, 4000);
  EXPECT_EQ(Read(f.home / "VELDRAQX.INI"), Read(f.home / "00042_VELDRAQX.INI"));
  EXPECT_TRUE(f.program->Main().Connect1->isVisible());
}

TEST(MainWindowStartup, MaterialKeySelectsTheMaterialAndItsScan) {
  struct Case {
    const char* key;
    int item;
    int brstart;
    int gkth;
  };
  const Case cases[] = {{"3", 0, 1, 50}, {"-1", 0, 1, 50}, {"2", 2, 1, 50}, {"1", 1, 0, 80}};
  for (const Case& c : cases) {
    ProgramFixture f([&](const std::filesystem::path& home) {
      std::string ini = Read(home / "VELDRAQX.INI");
      ini.replace(ini.find("MATERIAL=0"), 10, std::string("MATERIAL=") + c.key);
      Write(home / "VELDRAQX.INI", ini);
    });
    f.Start();
    f.program->Main().FormActivate();
    EXPECT_EQ(f.program->Main().MaterialItem(), c.item) << c.key;
    EXPECT_EQ(f.program->Camera().brstart, c.brstart) << c.key;
    EXPECT_EQ(f.program->Camera().GKTH, c.gkth) << c.key;
  }
}

TEST(MainWindowStartup, MissingLanguageFileIsFatal) {
  ProgramFixture f;
  f.Start();
  // A program folder without its language files.
  f.program->Context().programFolder = f.home.Path();
  f.program->Main().FormActivate();
  ASSERT_EQ(f.user.fatal.size(), 1u);
  EXPECT_TRUE(f.user.fatal[0].startsWith("Language file ")) << f.user.fatal[0].toStdString();
  EXPECT_TRUE(f.user.fatal[0].endsWith(" not found!"));
}

TEST(MainWindowMeasurement, SimulatedScanThroughTheWindowShowsTheSharedMeasurementTexts) {
  ProgramFixture f;
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  ASSERT_TRUE(GoLive(f));
  main.Capturebtn->click();
  ASSERT_TRUE(PumpUntil([&] { return main.DepthResult->text() != "0.000"; })) << "no result";
  EXPECT_EQ(main.ScanProgress->value(), 100);

  // The same image through the shared measurement step.
  MeasureState state;
  LoadCal(state, f.home / "VELDRAQX.INI");
  const ProgramSettings settings = LoadSettings(f.home / "VELDRAQX.INI");
  ApplySettings(settings, state);
  MeasurementImages images;
  images.iBild = main.Images().iBild;
  const MeasurementOutcome outcome =
      AnalyseStoredImage(state, images, Material::Steel, DisplayOptions{true, true, true});
  EXPECT_EQ(main.DepthResult->text().toStdString(), outcome.texts.depth);
  EXPECT_EQ(main.WidthResult->text().toStdString(), outcome.texts.width);
  EXPECT_EQ(main.OpenResult->text().toStdString(), outcome.texts.open);
  EXPECT_TRUE(images.rBild == main.Images().rBild);
  EXPECT_EQ(main.AnalysisImg->Picture().size(), QSize(1280, 1024));
}

// A measurement of a job: the verdict strip says OK (green) for limits the
// channel lies well inside and NOT OK (red) for limits it lies far outside;
// each completed measurement is recorded with its verdict. An unknown JOB ID
// shows no strip.
TEST(MainWindowMeasurement, VerdictStripAndHistoryOfAJob) {
  ProgramFixture f([](const std::filesystem::path& home) {
    Job wide;
    wide.id = "WIDE";
    wide.depth = 1;
    wide.width = 2;
    wide.depthTolerance = {0.06, 3.9};
    wide.widthTolerance = {0.25, 7.9};
    Job deep = wide;
    deep.id = "DEEP";
    deep.depth = 3.5;
    deep.width = 7;
    deep.depthTolerance = {3.4, 3.9};
    deep.widthTolerance = {6.9, 7.9};
    ASSERT_TRUE(SaveJobs(home, "test", {wide, deep}).ok);
  });
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  const struct {
    const char* job;
    const char* verdict;
    QColor colour;
  } cases[] = {{"wide", "OK", QColor(0, 160, 0)}, {"DEEP", "NOT OK", QColor(200, 0, 0)}, {"DEFAULT", nullptr, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.job);
    main.JobIDEdit->setText(c.job);
    main.DepthResult->setText("0.000");
    ASSERT_TRUE(GoLive(f));
    main.Capturebtn->click();
    ASSERT_TRUE(PumpUntil([&] { return main.DepthResult->text() != "0.000"; })) << "no result";
    ASSERT_TRUE(PumpUntil([&] { return main.HistoryStatus->text().startsWith("recorded"); }))
        << main.HistoryStatus->text().toStdString() << main.HistoryStatus->toolTip().toStdString();
    if (!c.verdict) {
      EXPECT_FALSE(main.VerdictStrip->isVisibleTo(&main));
      continue;
    }
    EXPECT_TRUE(main.VerdictStrip->isVisibleTo(&main));
    EXPECT_TRUE(main.VerdictStrip->text().contains(QString(">%1</b>").arg(c.verdict)))
        << main.VerdictStrip->text().toStdString();
    EXPECT_EQ(main.VerdictStrip->palette().color(QPalette::Window), c.colour);
  }
  std::unique_ptr<HistoryDb> db;
  ASSERT_TRUE(HistoryDb::Open(f.home.Path(), db, false).ok);
  std::vector<HistoryRecord> records;
  ASSERT_TRUE(db->Query({}, records).ok);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].verdict, "OK");
  EXPECT_EQ(records[1].verdict, "NOT OK");
  EXPECT_FALSE(records[2].verdict);
  EXPECT_EQ(records[2].jobId, "DEFAULT");
  EXPECT_TRUE(std::filesystem::exists(f.home / records[0].image));
}

// A damaged history is named once; the measurements go on and are shown.
TEST(MainWindowMeasurement, DamagedHistoryIsNamedAndMeasuringGoesOn) {
  ProgramFixture f([](const std::filesystem::path& home) { Write(home / "VELDRAQXHISTORY.sqlite", "damaged"); });
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  for (int i = 0; i < 2; ++i) {
    main.DepthResult->setText("0.000");
    ASSERT_TRUE(GoLive(f));
    main.Capturebtn->click();
    ASSERT_TRUE(PumpUntil([&] { return main.DepthResult->text() != "0.000"; })) << "no result";
  }
  EXPECT_EQ(main.HistoryStatus->text(), "not recorded");
  EXPECT_TRUE(main.HistoryStatus->toolTip().contains("it is damaged")) << main.HistoryStatus->toolTip().toStdString();
  ASSERT_EQ(f.user.messages.size(), 1u);
  EXPECT_TRUE(f.user.messages[0].startsWith("The measurement was not recorded")) << f.user.messages[0].toStdString();
  EXPECT_EQ(Read(f.home / "VELDRAQXHISTORY.sqlite"), "damaged");
}

TEST(MainWindowMeasurement, CameraUnpluggedDuringAScanShowsMessageOneAndKeepsRunning) {
  ProgramFixture f;
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  ASSERT_TRUE(GoLive(f));
  main.Capturebtn->click();
  ASSERT_TRUE(PumpUntil([&] { return main.ScanProgress->value() > 0; }));
  f.program->Gauge()->Unplug();
  ASSERT_TRUE(PumpUntil([&] { return !f.user.messages.empty(); }));
  EXPECT_TRUE(f.user.messages[0].startsWith("No video device found!"));
  // Plugged in again, the live picture and a measurement work.
  f.program->Gauge()->PlugIn();
  ASSERT_TRUE(GoLive(f));
  main.Capturebtn->click();
  EXPECT_TRUE(PumpUntil([&] { return main.DepthResult->text() != "0.000"; }));
}

TEST(MainWindowResults, WidthColourAndTextByLevelGrade) {
  ProgramFixture f;
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  MeasureState& state = f.program->Context().state;
  struct Case {
    int levelOK;
    bool red;
    bool dashes;
  };
  const Case cases[] = {{0, false, false}, {1, true, false}, {5, true, true}, {-1, true, false}};
  for (const Case& c : cases) {
    state.MyChannel = TChannel{};
    state.MyChannel.width = 300;
    state.MyChannel.levelOK = c.levelOK;
    main.ShowResults();
    EXPECT_EQ(TextColour(main.WidthResult) == QColor(Qt::red), c.red) << c.levelOK;
    EXPECT_EQ(main.WidthResult->text() == "- . - - -", c.dashes) << c.levelOK;
    if (!c.dashes) {
      EXPECT_EQ(main.WidthResult->text(), "2.133") << c.levelOK;  // 300 px at 3573 per inch
    }
  }
}

TEST(MainWindowResults, ZoomThreeAndMouseReadOut) {
  ProgramFixture f;
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  f.program->Settings().ZoomEdit->setValue(3);
  main.ShowResults();
  EXPECT_EQ(main.AnalysisImg->size(), QSize(3840, 3072));
  QMouseEvent move(QEvent::MouseMove, QPointF(3000, 1500), QPointF(3000, 1500), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(main.AnalysisImg, &move);
  EXPECT_EQ(main.statusPanels[0]->text(), "1000");
  EXPECT_EQ(main.statusPanels[1]->text(), "500");
}

TEST(MainWindowLive, FrameGoesWhereTheCaptureDestinationSays) {
  ProgramFixture f;
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  main.show();
  ASSERT_TRUE(PumpUntil([&] { return main.ScrollBox1->width() > 500; }));
  Bitmap frame(1280, 1024);
  frame.Fill(40, 80, 120);

  f.program->Context().CALAktive = kToSeries;
  const QImage before = main.AnalysisImg->Picture().copy();
  main.PreviewImage(frame);
  EXPECT_EQ(main.AnalysisImg->Picture(), before);

  f.program->Context().CALAktive = kToResults;
  const bool flashBefore = main.Flash->isChecked();
  main.PreviewImage(frame);
  EXPECT_NE(main.Flash->isChecked(), flashBefore);
  // The frame is drawn scaled at the top left; the right part stays white.
  EXPECT_EQ(main.AnalysisImg->Picture().pixelColor(5, 5), QColor(120, 80, 40));
  EXPECT_EQ(main.AnalysisImg->Picture().pixelColor(1270, 1000), QColor(Qt::white));
}

TEST(MainWindowLoad, BrokenToolImageIsNamedAndChangesNothing) {
  ProgramFixture f;
  f.Start();
  TFrmMain& main = f.program->Main();
  main.FormActivate();
  Write(f.home / "broken.CRY", "not a picture");
  const Bitmap before = main.Images().iBild;
  main.LoadImageFile(QString::fromStdString((f.home / "broken.CRY").string()));
  ASSERT_EQ(f.user.messages.size(), 1u);
  EXPECT_TRUE(f.user.messages[0].contains("broken.CRY"));
  EXPECT_TRUE(main.Images().iBild == before);
}

}  // namespace

namespace {

TEST(AuxiliaryWindows, AboutBoxShowsTheCalibrationVersionAndOpensTheLinks) {
  ProgramFixture f;
  f.Start();
  f.program->Main().FormActivate();
  f.program->Context().state.ImgCalibration.CalVer = 0;
  f.program->Main().Info1Click();
  TAboutFrm& about = f.program->About();
  about.FormActivate();
  EXPECT_EQ(about.CalVerLabel->text(), "Calibration v0");
  about.OpenWeb();
  about.OpenMail();
  ASSERT_EQ(f.user.opened.size(), 2u);
  EXPECT_EQ(f.user.opened[0].scheme(), "https");
  EXPECT_EQ(f.user.opened[1].scheme(), "mailto");
  EXPECT_TRUE(f.user.opened[1].query().contains("VELDRA QX question"));
}

TEST(AuxiliaryWindows, ManualInTheLanguageOrEnglishOrAPageSayingItIsMissing) {
  ProgramFixture f;
  f.Start();
  f.program->Main().FormActivate();
  TFrmHelp& help = f.program->Help();
  f.program->Main().Manual1Click();
  EXPECT_FALSE(help.ShowsDocument());
  EXPECT_TRUE(help.isVisible());

  // A one-page PDF as the English manual.
  QPdfWriter writer(QString::fromStdString((f.home / "VQX Manual English.PDF").string()));
  QPainter painter(&writer);
  painter.drawText(100, 100, "Manual");
  painter.end();
  f.program->Context().Sprache = "German";
  f.program->Main().Manual1Click();
  EXPECT_TRUE(help.ShowsDocument());
}

}  // namespace

namespace {

TEST(MainWindowStartup, BrokenOrMissingSettingsFileGivesTheDefaults) {
  for (const char* content : {static_cast<const char*>(nullptr), "\x01\x02garbage\n[VELDRAQX\nDIGITS==x\n"}) {
    ProgramFixture f([&](const std::filesystem::path& home) {
      std::filesystem::remove(home / "VELDRAQX.INI");
      if (content) Write(home / "VELDRAQX.INI", content);
    });
    f.Start();
    f.program->Main().FormActivate();
    EXPECT_TRUE(f.user.fatal.empty());
    const MeasureState& state = f.program->Context().state;
    EXPECT_EQ(state.Units, 25.4);
    EXPECT_EQ(state.Digits, 3);
    EXPECT_EQ(f.program->Context().Sprache, "English");
    EXPECT_EQ(f.program->Main().MaterialItem(), 0);
    EXPECT_EQ(f.program->Main().windowTitle(), "VELDRA QuadraGauge v0.1.0.0 SN 00000");
  }
}

}  // namespace
