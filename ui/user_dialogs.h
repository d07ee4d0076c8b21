#pragma once

// Everything a window asks of the user or the desktop goes through here, so
// that the windows can be driven offscreen by tests that answer in place of
// the user.

#include <QString>
#include <QUrl>

class QDialog;
class QWidget;

class UserDialogs {
public:
  virtual ~UserDialogs() = default;
  // A simple message box with an OK button.
  virtual void Message(QWidget* parent, const QString& text, const QString& caption = {}) = 0;
  // A question answered Yes (true) or No.
  virtual bool Question(QWidget* parent, const QString& text, const QString& caption = {}) = 0;
  // The message, then the program ends with exit code 1.
  virtual void Fatal(const QString& text) = 0;
  // Shows `dialog` modally; its modal result (1 accepted, 2 cancelled).
  virtual int ExecModal(QDialog* dialog) = 0;
  // An empty text when cancelled.
  virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                               const QString& filter) = 0;
  virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                               const QString& defaultSuffix) = 0;
  // Opens a document, a web address or a mail address with the desktop's handler.
  virtual void OpenUrl(const QUrl& url) = 0;
};

// The real thing: Qt's message boxes and file dialogs.
class QtUserDialogs final : public UserDialogs {
public:
  void Message(QWidget* parent, const QString& text, const QString& caption) override;
  bool Question(QWidget* parent, const QString& text, const QString& caption) override;
  void Fatal(const QString& text) override;
  int ExecModal(QDialog* dialog) override;
  QString OpenFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter) override;
  QString SaveFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                       const QString& defaultSuffix) override;
  void OpenUrl(const QUrl& url) override;
};
