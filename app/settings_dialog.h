#pragma once

// The settings dialog: language, display unit and decimals, which results to
// show, level and fibre corrections, zoom and construction overlay, the
// report logo and text.

#include <QDialog>

#include "base/bitmap.h"
#include "shell/settings_logic.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QFrame;
struct AppContext;

class TFrmSettings final : public QDialog {
  Q_OBJECT
public:
  explicit TFrmSettings(AppContext& context, QWidget* parent = nullptr);

  // Start-up reading of the display options from the file in use: check
  // boxes, level and fibre fields (the display state is set by the caller).
  void ReadDisplayOptions(const ProgramSettings& settings);
  // Fills the controls before the dialog is shown by the settings command.
  void PrepareForCommand(const ProgramSettings& fromFile);
  // What the controls hold now.
  SettingsChoice Choice() const;
  void SetLanguage();
  // Activation: the language list, its selection, the texts.
  void Activate();
  // The report logo from a picture file; false (nothing changed) for an
  // extension other than .png, .jpg, .bmp or a picture that cannot be read.
  bool LoadReportLogo(const QString& file);
  // The report logo at start-up: PRLOGO.bmp of the home folder or the brand
  // logo; PRLOGO.txt into the report text.
  void LoadReportLogoAtStartup(const Bitmap& brandLogo);

  Bitmap LogoBmp;

  QPushButton* OKbtn;
  QTabWidget* Settingspages;
  QWidget* LanguageTab;
  QWidget* Additionaltab;
  QWidget* Reports;
  QListWidget* LangFiles;
  QGroupBox* Screenrulinggrp;
  QButtonGroup* unitButtons;
  QGroupBox* Digitsgrp;
  QButtonGroup* digitButtons;
  QCheckBox* ShowRadiusBx;
  QCheckBox* ShowAlphabx;
  QCheckBox* ShowOpenbx;
  QLineEdit* LevelEdit;
  QLineEdit* FiberEdit;
  QLineEdit* PwdEdit;
  QGroupBox* MoreInfoBx;
  QSpinBox* ZoomEdit;
  QCheckBox* ShowMessPos;
  QCheckBox* ShowShape;
  QLabel* PrivateLogo;
  QFrame* Shape1;
  QPushButton* OpenLogobtn;
  QLabel* LoadLogoLabel;
  QLabel* EnterTextLabel;
  QPlainTextEdit* Memo1;
  QRadioButton* NotInvertImg;
  QRadioButton* InvImage;
  QCheckBox* ShowLevelInReport;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void BuildLanguagePage();
  void BuildAdditionalPage();
  void BuildReportsPage();
  void UnitClick(int index);
  void LanguageClick();
  void OpenLogoClick();
  void OkClick();
  void ShowLogo();

  AppContext& context_;
};
