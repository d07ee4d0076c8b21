#include "ui/user_dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

#include <cstdlib>

void QtUserDialogs::Message(QWidget* parent, const QString& text, const QString& caption) {
  QMessageBox::information(parent, caption.isEmpty() ? QApplication::applicationDisplayName() : caption, text);
}

bool QtUserDialogs::Question(QWidget* parent, const QString& text, const QString& caption) {
  return QMessageBox::question(parent, caption.isEmpty() ? QApplication::applicationDisplayName() : caption, text) ==
         QMessageBox::Yes;
}

void QtUserDialogs::Fatal(const QString& text) {
  QMessageBox::critical(nullptr, QApplication::applicationDisplayName(), text);
  std::exit(1);
}

int QtUserDialogs::ExecModal(QDialog* dialog) {
  const int result = dialog->exec();
  return result == QDialog::Accepted ? 1 : 2;
}

QString QtUserDialogs::OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter) {
  return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtUserDialogs::SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter, const QString& defaultSuffix) {
  QFileDialog dialog(parent, title, folder, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(defaultSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void QtUserDialogs::OpenUrl(const QUrl& url) { QDesktopServices::openUrl(url); }
