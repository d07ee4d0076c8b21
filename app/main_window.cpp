#include "app/main_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSlider>
#include <QStatusBar>
#include <QStringListModel>
#include <QCompleter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/artwork.h"
#include "app/palette.h"
#include "ui/app_context.h"
#include "ui/image_view.h"

namespace {

// The items of the preview shutter list; the index is the camera's shutter step.
const char* const kShutterItems[] = {"1/2",   "1/4",  "2/15",  "1/15",  "1/20",  "1/30",   "1/50 ",
                                     "1/60",  "1/100", "1/120", "1/200", "1/250 ", "1/500", "1/750",
                                     "1/1000", "1/2000", "1/3000", "1/4000", "1/5000", " Max"};

QToolButton* ToolButton(QWidget* parent, const char* name, const QString& glyph, bool checkable = false) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setFixedSize(75, 73);
  b->setIcon(ArtworkIcon(glyph, 48));
  b->setIconSize(QSize(48, 48));
  b->setCheckable(checkable);
  b->setAutoRaise(!checkable);
  return b;
}

QLabel* ResultLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  QFont font = label->font();
  font.setPointSize(20);
  font.setBold(true);
  label->setFont(font);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

QGroupBox* ResultGroup(QWidget* parent, const char* name, const QString& title, QLabel* value, QLabel* unit) {
  auto* group = new QGroupBox(title, parent);
  group->setObjectName(name);
  auto* layout = new QHBoxLayout(group);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->addWidget(value, 1);
  if (unit) {
    unit->setMinimumWidth(32);
    layout->addWidget(unit);
  }
  return group;
}

}  // namespace

TFrmMain::TFrmMain(AppContext& context) : context_(context) {
  setObjectName("FrmMain");
  // Window creation: the home folder, the settings files and the working pictures.
  FirstActivate = true;
  context_.main_inifile = context_.HomeDir / "VELDRAQX.INI";
  context_.cf_inifile = context_.main_inifile;
  images_.iBild.SetSize(1280, 1024);
  images_.rBild.SetSize(1280, 1024);
  images_.dBild.SetSize(1280, 1024);
  brBild.SetSize(1280, 1024);
  context_.pictures.ImgBrightness.SetSize(1280, 1024);
  context_.pictures.ImgChannel.SetSize(1280, 1024);
  for (TResult& r : snapshots_) r = TResult{};

  QFont font("Tahoma");
  font.setPointSize(8);
  setFont(font);
  BuildControls();
  BuildMenu();
  resize(1006, 660 + menuBar()->sizeHint().height() + StatusBar1->sizeHint().height());
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::BuildControls() {
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  BuildTopPanel();
  outer->addWidget(Menupanel);

  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(0);
  ScrollBox1 = new QScrollArea(central);
  ScrollBox1->setObjectName("ScrollBox1");
  ScrollBox1->setWidgetResizable(false);
  ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ScrollBox1->horizontalScrollBar()->setSingleStep(10);
  ScrollBox1->verticalScrollBar()->setSingleStep(10);
  AnalysisImg = new ImageView;
  AnalysisImg->setObjectName("AnalysisImg");
  ScrollBox1->setWidget(AnalysisImg);
  connect(AnalysisImg, &ImageView::MouseMoved, this, &TFrmMain::MouseMoved);
  body->addWidget(ScrollBox1, 1);
  BuildResultPanel();
  body->addWidget(Panel1);
  outer->addLayout(body, 1);
  setCentralWidget(central);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  for (int i = 0; i < 6; ++i) {
    auto* panel = new QLabel(StatusBar1);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    // The last panel shows a file name: it takes what is left.
    if (i < 5) panel->setFixedWidth(50);
    StatusBar1->addWidget(panel, i == 5 ? 1 : 0);
    statusPanels[i] = panel;
  }
  HistoryStatus = new QLabel(StatusBar1);
  HistoryStatus->setObjectName("HistoryStatus");
  StatusBar1->addPermanentWidget(HistoryStatus);
  setStatusBar(StatusBar1);
}

void TFrmMain::BuildTopPanel() {
  Menupanel = new QFrame;
  Menupanel->setObjectName("Menupanel");
  Menupanel->setFixedHeight(81);
  Menupanel->setAutoFillBackground(true);
  auto* layout = new QHBoxLayout(Menupanel);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  Refreshbtn = ToolButton(Menupanel, "Refreshbtn", "live");
  Capturebtn = ToolButton(Menupanel, "Capturebtn", "measure");
  Savebtn = ToolButton(Menupanel, "Savebtn", "save");
  Loadbtn = ToolButton(Menupanel, "Loadbtn", "load");
  Analyzebtn = ToolButton(Menupanel, "Analyzebtn", "analyse");
  CreateReportbtn = ToolButton(Menupanel, "CreateReportbtn", "report");
  for (QToolButton* b : {Refreshbtn, Capturebtn, Savebtn, Loadbtn, Analyzebtn, CreateReportbtn}) layout->addWidget(b);
  connect(Refreshbtn, &QToolButton::clicked, this, &TFrmMain::RefreshbtnClick);
  connect(Capturebtn, &QToolButton::clicked, this, &TFrmMain::CapturebtnClick);
  connect(Savebtn, &QToolButton::clicked, this, &TFrmMain::SavebtnClick);
  connect(Loadbtn, &QToolButton::clicked, this, &TFrmMain::LoadbtnClick);
  connect(Analyzebtn, &QToolButton::clicked, this, &TFrmMain::AnalyzebtnClick);
  connect(CreateReportbtn, &QToolButton::clicked, this, &TFrmMain::CreateReportbtnClick);

  // The service panel: hidden, shown by Ctrl+Alt+S.
  GroupBox1 = new QGroupBox(Menupanel);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setFixedSize(288, 72);
  auto* service = new QGridLayout(GroupBox1);
  service->setContentsMargins(4, 2, 4, 2);
  service->setSpacing(2);
  Startbtn = new QPushButton("START", GroupBox1);
  Startbtn->setObjectName("Startbtn");
  STOPbtn = new QPushButton("STOP", GroupBox1);
  STOPbtn->setObjectName("STOPbtn");
  CE_CounterLabel = new QLabel("0", GroupBox1);
  CE_CounterLabel->setObjectName("CE_CounterLabel");
  QFont bold = CE_CounterLabel->font();
  bold.setBold(true);
  CE_CounterLabel->setFont(bold);
  BRTrackbar = new QSlider(Qt::Horizontal, GroupBox1);
  BRTrackbar->setObjectName("BRTrackbar");
  BRTrackbar->setRange(1, 64);
  BRTrackbar->setValue(1);
  Shutterbox = new QComboBox(GroupBox1);
  Shutterbox->setObjectName("Shutterbox");
  for (const char* item : kShutterItems) Shutterbox->addItem(item);
  Shutterbox->setCurrentIndex(9);
  DrawBtn = new QPushButton("Draw", GroupBox1);
  DrawBtn->setObjectName("DrawBtn");
  DrawBtn->hide();
  service->addWidget(Startbtn, 0, 0);
  service->addWidget(STOPbtn, 0, 1);
  service->addWidget(CE_CounterLabel, 0, 2);
  service->addWidget(BRTrackbar, 1, 0, 1, 2);
  service->addWidget(Shutterbox, 1, 2);
  GroupBox1->hide();
  layout->addWidget(GroupBox1);
  connect(Startbtn, &QPushButton::clicked, this, &TFrmMain::StartbtnClick);
  connect(STOPbtn, &QPushButton::clicked, this, &TFrmMain::STOPbtnClick);
  connect(BRTrackbar, &QSlider::valueChanged, this, &TFrmMain::BRTrackbarChange);
  connect(Shutterbox, &QComboBox::activated, this, [this](int index) {
    const TImgCalibration& c = context_.state.ImgCalibration;
    if (camera_) camera_->SetShutterSpeed(index, c.Gain, c.Mirror, c.Flip);
  });
  connect(DrawBtn, &QPushButton::clicked, this, [this] { ShowPicture(images_.iBild, 1); });
  auto* serviceKey = new QShortcut(QKeySequence("Ctrl+Alt+S"), this);
  connect(serviceKey, &QShortcut::activated, this, &TFrmMain::ToggleServicePanel);
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TFrmMain::Timer1Timer);

  layout->addStretch(1);
  LogoImg = new QLabel(Menupanel);
  LogoImg->setObjectName("LogoImg");
  LogoImg->setFixedSize(200, 79);
  layout->addWidget(LogoImg);
}

void TFrmMain::BuildResultPanel() {
  Panel1 = new QFrame;
  Panel1->setObjectName("Panel1");
  Panel1->setFixedWidth(246);
  auto* layout = new QVBoxLayout(Panel1);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);

  JobIDLabel = new QLabel("JOB ID:", Panel1);
  JobIDLabel->setObjectName("JobIDLabel");
  JobIDEdit = new QLineEdit("DEFAULT", Panel1);
  JobIDEdit->setObjectName("JobIDEdit");
  layout->addWidget(JobIDLabel);
  layout->addWidget(JobIDEdit);
  auto* jobIds = new QCompleter(new QStringListModel(JobIDEdit), JobIDEdit);
  jobIds->setCaseSensitivity(Qt::CaseInsensitive);
  JobIDEdit->setCompleter(jobIds);
  VerdictStrip = new QLabel(Panel1);
  VerdictStrip->setObjectName("VerdictStrip");
  VerdictStrip->setAlignment(Qt::AlignCenter);
  VerdictStrip->setWordWrap(true);
  VerdictStrip->setAutoFillBackground(true);
  VerdictStrip->hide();
  layout->addWidget(VerdictStrip);

  MatGrp = new QGroupBox(Panel1);
  MatGrp->setObjectName("MatGrp");
  matButtons = new QButtonGroup(this);
  auto* matLayout = new QHBoxLayout(MatGrp);
  matLayout->setContentsMargins(4, 2, 4, 2);
  const char* items[] = {"Steel", "Steel Bevel", "Pertinax"};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(items[i], MatGrp);
    b->setObjectName(QStringLiteral("MatGrp_%1").arg(i));
    matButtons->addButton(b, i);
    matLayout->addWidget(b);
  }
  matButtons->button(0)->setChecked(true);
  connect(matButtons, &QButtonGroup::idClicked, this, &TFrmMain::MatGrpClick);
  layout->addWidget(MatGrp);

  auto* snapshots = new QHBoxLayout;
  VBtn = ToolButton(Panel1, "VBtn", "snapshot_V", true);
  Hbtn = ToolButton(Panel1, "Hbtn", "snapshot_H", true);
  dbtn = ToolButton(Panel1, "dbtn", "snapshot_D", true);
  for (QToolButton* b : {VBtn, Hbtn, dbtn}) snapshots->addWidget(b);
  connect(VBtn, &QToolButton::clicked, this, [this] { SnapshotClick(kSnapshotV); });
  connect(Hbtn, &QToolButton::clicked, this, [this] { SnapshotClick(kSnapshotH); });
  connect(dbtn, &QToolButton::clicked, this, [this] { SnapshotClick(kSnapshotD); });
  layout->addLayout(snapshots);

  DepthResult = ResultLabel(Panel1, "DepthResult", "0.000");
  mmLabel1 = new QLabel("mm", Panel1);
  mmLabel1->setObjectName("mmLabel1");
  DepthGrp = ResultGroup(Panel1, "DepthGrp", "Depth", DepthResult, mmLabel1);
  WidthResult = ResultLabel(Panel1, "WidthResult", "0.000");
  mmLabel2 = new QLabel("mm", Panel1);
  mmLabel2->setObjectName("mmLabel2");
  WidthGrp = ResultGroup(Panel1, "WidthGrp", "Width", WidthResult, mmLabel2);
  OpenResult = ResultLabel(Panel1, "OpenResult", QString::fromUtf8("0\u00b0"));
  OpenGroup = ResultGroup(Panel1, "OpenGroup", "Opening angle", OpenResult, nullptr);
  AlphaV = ResultLabel(Panel1, "AlphaV", "");
  VGrp = ResultGroup(Panel1, "VGrp", "Flank angle", AlphaV, nullptr);
  RadiusResult = ResultLabel(Panel1, "RadiusResult", "");
  RadiusLabel = new QLabel("mm", Panel1);
  RadiusLabel->setObjectName("RadiusLabel");
  RadiusGrp = ResultGroup(Panel1, "RadiusGrp", "Radius", RadiusResult, RadiusLabel);
  layout->addWidget(DepthGrp);
  layout->addWidget(WidthGrp);
  layout->addWidget(OpenGroup);
  // The flank angle and the radius share one place: at most one is shown.
  auto* shared = new QWidget(Panel1);
  auto* sharedLayout = new QVBoxLayout(shared);
  sharedLayout->setContentsMargins(0, 0, 0, 0);
  sharedLayout->addWidget(VGrp);
  sharedLayout->addWidget(RadiusGrp);
  shared->setMinimumHeight(VGrp->sizeHint().height());
  layout->addWidget(shared);
  OpenGroup->hide();
  VGrp->hide();
  RadiusGrp->hide();
  layout->addStretch(1);

  auto* strip = new QHBoxLayout;
  Flash = new QRadioButton(Panel1);
  Flash->setObjectName("Flash");
  Flash->setAutoExclusive(false);
  Flash->setToolTip("Live picture");
  Taste = new QRadioButton(Panel1);
  Taste->setObjectName("Taste");
  Taste->setAutoExclusive(false);
  Taste->setToolTip("Trigger key");
  ScanProgress = new QProgressBar(Panel1);
  ScanProgress->setObjectName("ScanProgress");
  ScanProgress->setRange(0, 100);
  ScanProgress->setValue(0);
  strip->addWidget(Flash);
  strip->addWidget(Taste);
  strip->addWidget(ScanProgress, 1);
  layout->addLayout(strip);
}

void TFrmMain::BuildMenu() {
  QMenuBar* bar = menuBar();
  auto entry = [this](QMenu* menu, const char* name, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    return a;
  };
  QMenu* file = bar->addMenu("&File");
  File1 = file->menuAction();
  File1->setObjectName("File1");
  LoadImage1 = entry(file, "LoadImage1", "&Load Image");
  SaveImage1 = entry(file, "SaveImage1", "&Save Image");
  Settings1 = entry(file, "Settings1", "Settings");
  Exit1 = entry(file, "Exit1", "Exit");
  QMenu* device = bar->addMenu("&Device");
  Device1 = device->menuAction();
  Device1->setObjectName("Device1");
  Capture1 = entry(device, "Capture1", "Capture");
  Capture1->setShortcut(QKeySequence(Qt::Key_F2));
  Verify1 = entry(device, "Verify1", "Verify");
  Connect1 = entry(device, "Connect1", "Connect");
  Calibrate1 = entry(device, "Calibrate1", "Calibrate");
  QMenu* help = bar->addMenu("&Help");
  Help1 = help->menuAction();
  Help1->setObjectName("Help1");
  Info1 = entry(help, "Info1", "&Info");
  Manual1 = entry(help, "Manual1", "&Manual");

  connect(LoadImage1, &QAction::triggered, this, &TFrmMain::LoadbtnClick);
  connect(SaveImage1, &QAction::triggered, this, &TFrmMain::SavebtnClick);
  connect(Settings1, &QAction::triggered, this, &TFrmMain::Settings1Click);
  connect(Exit1, &QAction::triggered, this, &QWidget::close);
  connect(Verify1, &QAction::triggered, this, &TFrmMain::Verify1Click);
  connect(Connect1, &QAction::triggered, this, &TFrmMain::Connect1Click);
  connect(Calibrate1, &QAction::triggered, this, &TFrmMain::Calibrate1Click);
  connect(Info1, &QAction::triggered, this, &TFrmMain::Info1Click);
  connect(Manual1, &QAction::triggered, this, &TFrmMain::Manual1Click);
}

void TFrmMain::SetLanguage() {
  const LanguageStore& l = context_.language;
  auto line = [&](int i) { return QString::fromStdString(l.GetLanguageString(i)); };
  const int menu = l.IndexOf("MAINMENU");
  QAction* entries[] = {File1, LoadImage1, SaveImage1, Settings1, Exit1, Device1, Calibrate1,
                        Help1, Info1,      Manual1,    Capture1,  Verify1, Connect1};
  for (int i = 0; i < 13; ++i) entries[i]->setText(line(menu + 1 + i));
  const int hints = l.IndexOf("MAINHINTS");
  QToolButton* buttons[] = {Refreshbtn, Capturebtn, Analyzebtn, Savebtn, Loadbtn, CreateReportbtn, VBtn, Hbtn, dbtn};
  for (int i = 0; i < 9; ++i) buttons[i]->setToolTip(line(hints + 1 + i));
  const int panel = l.IndexOf("MAINPANEL");
  JobIDLabel->setText(line(panel + 1));
  matButtons->button(0)->setText(line(panel + 2));
  matButtons->button(1)->setText(line(panel + 4));
  matButtons->button(2)->setText(line(panel + 3));
}

void TFrmMain::SetStatus(int panel, const QString& text) { statusPanels[panel]->setText(text); }

void TFrmMain::ToggleServicePanel() { GroupBox1->setVisible(!GroupBox1->isVisible()); }
