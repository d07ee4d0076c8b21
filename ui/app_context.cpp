#include "ui/app_context.h"

#include "ui/user_dialogs.h"

bool AppContext::LoadLanguage(const std::string& name) {
  const FileStatus status = language.LoadLanguage(programFolder, name);
  if (!status.ok) {
    dialogs->Fatal(QString::fromStdString(status.message));
    return false;
  }
  return true;
}
