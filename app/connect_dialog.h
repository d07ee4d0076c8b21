#pragma once

// The device selection window: which device file of the home folder the
// program works with.

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QPushButton;
struct AppContext;

class TFrmConnect final : public QDialog {
  Q_OBJECT
public:
  explicit TFrmConnect(AppContext& context, QWidget* parent = nullptr);

  void SetFiles(const std::vector<std::string>& names);
  // The selected name, empty when nothing is selected.
  std::string SelectedFile() const;
  void FormActivate();

  QListWidget* FileList;
  QPushButton* MainCancelbtn;
  QPushButton* exitbtn;

protected:
  void showEvent(QShowEvent* event) override;

private:
  AppContext& context_;
};
