#include "app/settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/artwork.h"
#include "app/palette.h"
#include "imaging/bmp_codec.h"
#include "imaging/tool_image.h"
#include "platform/atomic_file.h"
#include "platform/file_names.h"
#include "platform/file_search.h"
#include "ui/app_context.h"
#include "ui/bitmap_image.h"
#include "ui/user_dialogs.h"

namespace {

// The password that unlocks the fibre allowance.
constexpr const char* kFiberPassword = "Yemp&";

QCheckBox* CheckWithPicture(QWidget* parent, QVBoxLayout* layout, const char* name, const QString& text,
                            const QString& picture) {
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(parent);
  icon->setPixmap(Artwork(picture, 24, 24));
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  row->addWidget(icon);
  row->addWidget(box, 1);
  layout->addLayout(row);
  return box;
}

}  // namespace

TFrmSettings::TFrmSettings(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
  setObjectName("FrmSettings");
  setWindowTitle("Settings");
  setFixedSize(596, 488);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kPanelColor);
  setPalette(pal);

  LogoBmp.SetSize(200, 78);
  LogoBmp.Fill(255, 255, 255);

  Settingspages = new QTabWidget(this);
  Settingspages->setObjectName("Settingspages");
  BuildLanguagePage();
  BuildAdditionalPage();
  BuildReportsPage();
  Settingspages->setCurrentWidget(LanguageTab);

  OKbtn = new QPushButton(this);
  OKbtn->setObjectName("OKbtn");
  OKbtn->setFixedSize(73, 73);
  OKbtn->setIcon(ArtworkIcon("ok", 48));
  OKbtn->setIconSize(QSize(48, 48));
  OKbtn->setToolTip("OK");
  connect(OKbtn, &QPushButton::clicked, this, &TFrmSettings::OkClick);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Settingspages, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(OKbtn);
  layout->addLayout(bottom);
}

void TFrmSettings::BuildLanguagePage() {
  LanguageTab = new QWidget;
  LanguageTab->setObjectName("LanguageTab");
  LangFiles = new QListWidget(LanguageTab);
  LangFiles->setObjectName("LangFiles");
  LangFiles->setFlow(QListView::TopToBottom);
  LangFiles->setWrapping(true);
  LangFiles->setResizeMode(QListView::Adjust);
  LangFiles->setGridSize(QSize(180, 24));
  connect(LangFiles, &QListWidget::itemClicked, this, [this] { LanguageClick(); });
  auto* layout = new QVBoxLayout(LanguageTab);
  layout->addWidget(LangFiles);
  Settingspages->addTab(LanguageTab, "Language");
}

void TFrmSettings::BuildAdditionalPage() {
  Additionaltab = new QWidget;
  Additionaltab->setObjectName("Additionaltab");
  auto* grid = new QGridLayout(Additionaltab);

  Screenrulinggrp = new QGroupBox("Units", Additionaltab);
  Screenrulinggrp->setObjectName("Screenrulinggrp");
  unitButtons = new QButtonGroup(this);
  auto* unitLayout = new QVBoxLayout(Screenrulinggrp);
  const char* units[] = {"mm", "Inch", "mil"};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(units[i], Screenrulinggrp);
    b->setObjectName(QStringLiteral("Screenrulinggrp_%1").arg(i));
    unitButtons->addButton(b, i);
    unitLayout->addWidget(b);
  }
  unitButtons->button(0)->setChecked(true);
  connect(unitButtons, &QButtonGroup::idClicked, this, &TFrmSettings::UnitClick);

  Digitsgrp = new QGroupBox("Digits", Additionaltab);
  Digitsgrp->setObjectName("Digitsgrp");
  digitButtons = new QButtonGroup(this);
  auto* digitLayout = new QVBoxLayout(Digitsgrp);
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(Digitsgrp);
    b->setObjectName(QStringLiteral("Digitsgrp_%1").arg(i));
    digitButtons->addButton(b, i);
    digitLayout->addWidget(b);
  }
  digitButtons->button(2)->setChecked(true);
  UnitClick(0);

  auto* showBox = new QGroupBox("Show", Additionaltab);
  auto* showLayout = new QVBoxLayout(showBox);
  ShowRadiusBx = CheckWithPicture(showBox, showLayout, "ShowRadiusBx", "Radius", "measure");
  ShowAlphabx = CheckWithPicture(showBox, showLayout, "ShowAlphabx", "Flank angle", "snapshot_D");
  ShowOpenbx = CheckWithPicture(showBox, showLayout, "ShowOpenbx", "Opening angle", "analyse");

  auto* levelBox = new QGroupBox("Level", Additionaltab);
  auto* levelLayout = new QHBoxLayout(levelBox);
  LevelEdit = new QLineEdit("0.00", levelBox);
  LevelEdit->setObjectName("LevelEdit");
  levelLayout->addWidget(LevelEdit);
  levelLayout->addWidget(new QLabel("mm", levelBox));

  auto* fiberBox = new QGroupBox("Fiber", Additionaltab);
  auto* fiberLayout = new QGridLayout(fiberBox);
  FiberEdit = new QLineEdit("0.00", fiberBox);
  FiberEdit->setObjectName("FiberEdit");
  FiberEdit->setEnabled(false);
  PwdEdit = new QLineEdit(fiberBox);
  PwdEdit->setObjectName("PwdEdit");
  PwdEdit->setEchoMode(QLineEdit::Password);
  PwdEdit->setStyleSheet("background-color: yellow;");
  connect(PwdEdit, &QLineEdit::textChanged, this,
          [this](const QString& text) { FiberEdit->setEnabled(text == QString::fromUtf8(kFiberPassword)); });
  fiberLayout->addWidget(FiberEdit, 0, 0);
  fiberLayout->addWidget(new QLabel("mm", fiberBox), 0, 1);
  fiberLayout->addWidget(PwdEdit, 1, 0);
  fiberLayout->addWidget(new QLabel("Password", fiberBox), 1, 1);

  MoreInfoBx = new QGroupBox("Show more Info", Additionaltab);
  MoreInfoBx->setObjectName("MoreInfoBx");
  auto* moreLayout = new QGridLayout(MoreInfoBx);
  ZoomEdit = new QSpinBox(MoreInfoBx);
  ZoomEdit->setObjectName("ZoomEdit");
  ZoomEdit->setRange(1, 4);
  ZoomEdit->setValue(1);
  ShowMessPos = new QCheckBox("Show Measurement Positions", MoreInfoBx);
  ShowMessPos->setObjectName("ShowMessPos");
  ShowShape = new QCheckBox("Show Shape", MoreInfoBx);
  ShowShape->setObjectName("ShowShape");
  moreLayout->addWidget(ZoomEdit, 0, 0);
  moreLayout->addWidget(new QLabel("Zoom", MoreInfoBx), 0, 1);
  moreLayout->addWidget(ShowMessPos, 1, 0, 1, 2);
  moreLayout->addWidget(ShowShape, 2, 0, 1, 2);

  grid->addWidget(Screenrulinggrp, 0, 0);
  grid->addWidget(Digitsgrp, 0, 1);
  grid->addWidget(showBox, 0, 2);
  grid->addWidget(levelBox, 1, 0);
  grid->addWidget(fiberBox, 1, 1);
  grid->addWidget(MoreInfoBx, 1, 2);
  Settingspages->addTab(Additionaltab, "Additional");
}

void TFrmSettings::BuildReportsPage() {
  Reports = new QWidget;
  Reports->setObjectName("Reports");
  Shape1 = new QFrame(Reports);
  Shape1->setObjectName("Shape1");
  Shape1->setFrameShape(QFrame::Box);
  PrivateLogo = new QLabel(Shape1);
  PrivateLogo->setObjectName("PrivateLogo");
  PrivateLogo->setFixedSize(200, 78);
  PrivateLogo->setScaledContents(true);
  auto* frameLayout = new QVBoxLayout(Shape1);
  frameLayout->addWidget(PrivateLogo);
  OpenLogobtn = new QPushButton(Reports);
  OpenLogobtn->setObjectName("OpenLogobtn");
  OpenLogobtn->setFixedSize(48, 48);
  OpenLogobtn->setIcon(ArtworkIcon("open_logo", 40));
  OpenLogobtn->setIconSize(QSize(40, 40));
  connect(OpenLogobtn, &QPushButton::clicked, this, &TFrmSettings::OpenLogoClick);
  LoadLogoLabel = new QLabel("Load logo", Reports);
  LoadLogoLabel->setObjectName("LoadLogoLabel");
  EnterTextLabel = new QLabel("Enter text", Reports);
  EnterTextLabel->setObjectName("EnterTextLabel");
  Memo1 = new QPlainTextEdit(Reports);
  Memo1->setObjectName("Memo1");
  Memo1->setFixedHeight(90);
  NotInvertImg = new QRadioButton("Picture as measured", Reports);
  NotInvertImg->setObjectName("NotInvertImg");
  NotInvertImg->setChecked(true);
  InvImage = new QRadioButton("Picture inverted", Reports);
  InvImage->setObjectName("InvImage");
  ShowLevelInReport = new QCheckBox("Show level in report", Reports);
  ShowLevelInReport->setObjectName("ShowLevelInReport");

  auto* grid = new QGridLayout(Reports);
  grid->addWidget(LoadLogoLabel, 0, 0, 1, 2);
  grid->addWidget(Shape1, 1, 0);
  auto* logoSide = new QVBoxLayout;
  logoSide->addWidget(OpenLogobtn);
  logoSide->addWidget(new QLabel("200x78 pixel", Reports));
  logoSide->addStretch(1);
  grid->addLayout(logoSide, 1, 1);
  grid->addWidget(EnterTextLabel, 2, 0, 1, 2);
  grid->addWidget(Memo1, 3, 0, 1, 3);
  grid->addWidget(NotInvertImg, 4, 0);
  grid->addWidget(InvImage, 4, 1);
  grid->addWidget(ShowLevelInReport, 5, 0, 1, 2);
  grid->setRowStretch(6, 1);
  grid->setColumnStretch(2, 1);
  Settingspages->addTab(Reports, "Reports");
  ShowLogo();
}

void TFrmSettings::ReadDisplayOptions(const ProgramSettings& s) {
  ShowOpenbx->setChecked(s.ShowOpen);
  ShowRadiusBx->setChecked(s.ShowRadius);
  ShowAlphabx->setChecked(s.ShowAlpha);
  NotInvertImg->setChecked(!s.InvImg);
  InvImage->setChecked(s.InvImg);
  ShowLevelInReport->setChecked(s.ShowLevel);
  LevelEdit->setText(QString::fromStdString(LevelFieldText(context_.state)));
  FiberEdit->setText(QString::fromStdString(FiberFieldText(context_.state)));
}

void TFrmSettings::PrepareForCommand(const ProgramSettings& fromFile) {
  const int unit = UnitIndexOf(context_.state.Units);
  unitButtons->button(unit)->setChecked(true);
  UnitClick(unit);
  const int digits = fromFile.Digits - 1;
  if (QAbstractButton* b = digitButtons->button(digits)) {
    b->setChecked(true);
  } else {
    digitButtons->setExclusive(false);
    for (QAbstractButton* other : digitButtons->buttons()) other->setChecked(false);
    digitButtons->setExclusive(true);
  }
  context_.state.Level = fromFile.Level;
  context_.state.Fiber = fromFile.Fiber;
  ReadDisplayOptions(fromFile);
}

SettingsChoice TFrmSettings::Choice() const {
  SettingsChoice c;
  c.unitIndex = std::max(0, unitButtons->checkedId());
  c.digitsIndex = digitButtons->checkedId();  // -1 when none is ticked: DIGITS is written as "3"
  c.language = context_.Sprache;
  c.showOpen = ShowOpenbx->isChecked();
  c.showRadius = ShowRadiusBx->isChecked();
  c.showAlpha = ShowAlphabx->isChecked();
  c.invertImage = InvImage->isChecked();
  c.showLevel = ShowLevelInReport->isChecked();
  c.levelText = LevelEdit->text().toStdString();
  c.fiberText = FiberEdit->text().toStdString();
  return c;
}

void TFrmSettings::SetLanguage() {
  const LanguageStore& l = context_.language;
  const int s = l.IndexOf("FRMSETTINGS");
  if (s <= 0) return;
  auto text = [&](int offset) { return QString::fromStdString(l.GetLanguageString(s + offset)); };
  setWindowTitle(text(1));
  Settingspages->setTabText(0, text(2));
  Settingspages->setTabText(1, text(3));
  Settingspages->setTabText(2, text(4));
  LoadLogoLabel->setText(text(6));
  EnterTextLabel->setText(text(7));
}

void TFrmSettings::Activate() {
  LangFiles->clear();
  std::filesystem::path folder = FindPathIgnoringCase(context_.HomeDir, "Language");
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) folder = FindPathIgnoringCase(context_.programFolder, "LANGUAGE");
  for (const FoundEntry& e : FindAllFiles(folder, "*.TXT", FindOptions{.DelExtension = true})) {
    LangFiles->addItem(QString::fromStdString(e.name));
  }
  LangFiles->sortItems();
  for (int i = 0; i < LangFiles->count(); ++i) {
    if (LangFiles->item(i)->text().compare(QString::fromStdString(context_.Sprache), Qt::CaseInsensitive) == 0) {
      LangFiles->setCurrentRow(i);
      break;
    }
  }
  LanguageClick();
  SetLanguage();
}

void TFrmSettings::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Activate();
}

void TFrmSettings::LanguageClick() {
  QListWidgetItem* item = LangFiles->currentItem();
  if (!item || !item->isSelected()) return;
  context_.Sprache = item->text().toStdString();
  if (!context_.LoadLanguage(context_.Sprache)) return;
  SetLanguage();
}

void TFrmSettings::UnitClick(int index) {
  const auto captions = DigitCaptions(index);
  for (int i = 0; i < 3; ++i) digitButtons->button(i)->setText(QString::fromStdString(captions[i]));
}

bool TFrmSettings::LoadReportLogo(const QString& file) {
  const QString ext = QFileInfo(file).suffix().toUpper();
  Bitmap picture;
  if (ext == "PNG") {
    if (!LoadBmpAsPng(picture, file.toStdString()).ok) return false;
  } else if (ext == "BMP") {
    const FileStatus status = LoadBmpFile(picture, file.toStdString());
    if (!status.ok) {
      context_.dialogs->Message(this, QString::fromStdString(status.message));
      return false;
    }
  } else if (ext == "JPG") {
    QImage image;
    if (!image.load(file, "JPEG")) {
      context_.dialogs->Message(this, QStringLiteral("The picture \"%1\" cannot be read.").arg(file));
      return false;
    }
    picture = ToBitmap(image);
  } else {
    return false;
  }
  Bitmap logo = ComposeReportLogo(picture);
  if (logo.Empty()) return false;
  const FileStatus saved = SaveBmpFile(logo, context_.HomeDir / "PRLOGO.bmp");
  if (!saved.ok) context_.dialogs->Message(this, QString::fromStdString(saved.message));
  LogoBmp = std::move(logo);
  ShowLogo();
  return true;
}

void TFrmSettings::LoadReportLogoAtStartup(const Bitmap& brandLogo) {
  const std::filesystem::path logo = FindPathIgnoringCase(context_.HomeDir, "PRLOGO.bmp");
  std::error_code error;
  Bitmap loaded;
  if (std::filesystem::exists(logo, error)) {
    const FileStatus status = LoadBmpFile(loaded, logo);
    if (!status.ok) context_.dialogs->Message(this, QString::fromStdString(status.message));
  }
  LogoBmp = loaded.Empty() ? brandLogo : std::move(loaded);
  ShowLogo();
  const std::filesystem::path text = FindPathIgnoringCase(context_.HomeDir, "PRLOGO.txt");
  std::string bytes;
  if (std::filesystem::is_regular_file(text, error) && ReadWholeFile(text, bytes).ok) {
    Memo1->setPlainText(QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size())).trimmed());
  }
}

void TFrmSettings::OpenLogoClick() {
  const QString file = context_.dialogs->OpenFileName(
      this, LoadLogoLabel->text(), QString::fromStdString(context_.HomeDir.string()),
      "All (*.png *.jpg *.bmp);;Portable Network Graphics (*.png);;JPEG Image File (*.jpg);;Bitmaps (*.bmp)");
  if (file.isEmpty()) return;
  LoadReportLogo(file);
}

void TFrmSettings::OkClick() {
  std::string text = Memo1->toPlainText().toLocal8Bit().toStdString();
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  if (!crlf.empty()) crlf += "\r\n";
  const std::filesystem::path file = context_.HomeDir / "PRLOGO.txt";
  const FileStatus status = WriteFileAtomically(file, crlf);
  if (!status.ok) context_.dialogs->Message(this, QString::fromStdString(status.message));
  accept();
}

void TFrmSettings::ShowLogo() { PrivateLogo->setPixmap(QPixmap::fromImage(BitmapView(LogoBmp).copy())); }
