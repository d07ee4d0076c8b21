#pragma once

// A whole program offscreen on a fresh copy of the demo home folder, with a
// user whose answers the test sets beforehand.

#include <QCoreApplication>
#include <QDialog>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/program.h"
#include "app/tools/pump_until.h"
#include "tests/temp_folder.h"
#include "ui/user_dialogs.h"

class ScriptedUser final : public UserDialogs {
public:
  void Message(QWidget*, const QString& text, const QString& caption) override {
    messages.push_back(text);
    captions.push_back(caption);
  }
  bool Question(QWidget*, const QString& text, const QString& caption) override {
    messages.push_back(text);
    captions.push_back(caption);
    return answerYes;
  }
  void Fatal(const QString& text) override { fatal.push_back(text); }
  int ExecModal(QDialog* dialog) override {
    modalShown.push_back(dialog->objectName());
    if (beforeModal) beforeModal(dialog);
    return modalResult;
  }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return Next(); }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override {
    return Next();
  }
  void OpenUrl(const QUrl& url) override { opened.push_back(url); }

  std::vector<QString> messages;
  std::vector<QString> captions;
  std::vector<QString> fatal;
  std::vector<QString> modalShown;
  std::vector<QUrl> opened;
  std::deque<QString> fileNames;  // answers of the file dialogs; empty = cancelled
  int modalResult = 1;
  bool answerYes = true;
  std::function<void(QDialog*)> beforeModal;

private:
  QString Next() {
    if (fileNames.empty()) return {};
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
  }
};

class ProgramFixture {
public:
  // The demo home folder, then `prepare` may change it before the program starts.
  explicit ProgramFixture(const std::function<void(const std::filesystem::path&)>& prepare = {}) {
    std::filesystem::copy(std::filesystem::path(VQX_SOURCE_DIR) / "data/demo", home.Path(),
                          std::filesystem::copy_options::recursive);
    if (prepare) prepare(home.Path());
  }
  void Start(bool simulate = true) {
    ProgramOptions options;
    options.home = home.Path();
    options.programFile = VQX_PROGRAM;
    options.simulate = simulate;
    options.simulatedRealTime = false;
    options.cameraFolder = (home.Path() / "no-cameras").string();
    program = std::make_unique<VeldraProgram>(options, user);
  }

  TempFolder home;
  ScriptedUser user;
  std::unique_ptr<VeldraProgram> program;
};
