#pragma once

// The about box: the maker's web and mail links and the version of the
// loaded calibration.

#include <QDialog>

class QLabel;
class QPushButton;
struct AppContext;

inline constexpr const char* kMakerWeb = "https://www.veldra-gauges.example";
inline constexpr const char* kMakerMail = "support@veldra-gauges.example";

class TAboutFrm final : public QDialog {
  Q_OBJECT
public:
  explicit TAboutFrm(AppContext& context, QWidget* parent = nullptr);

  void FormActivate();
  void OpenWeb();
  void OpenMail();

  QLabel* WebLabel;
  QLabel* MailLabel;
  QLabel* LogoPicture;
  QPushButton* WebButton;
  QLabel* CalVerLabel;

protected:
  void showEvent(QShowEvent* event) override;

private:
  AppContext& context_;
};
