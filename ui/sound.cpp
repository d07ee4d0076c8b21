#include "ui/sound.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

#include <map>

#include "platform/file_names.h"

namespace {

std::filesystem::path& Folder() {
  static std::filesystem::path folder;
  return folder;
}

// One effect per sound, kept so that a playing sound is not cut off; the
// application owns them, so they go before the audio system does.
std::map<std::string, QPointer<QSoundEffect>>& Effects() {
  static std::map<std::string, QPointer<QSoundEffect>> effects;
  return effects;
}

}  // namespace

void SetSoundFolder(const std::filesystem::path& programFolder) { Folder() = programFolder; }

void PlayMySound(const std::string& SndName) {
  const std::filesystem::path file = FindPathIgnoringCase(Folder(), SndName + ".wav");
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return;
  QPointer<QSoundEffect>& effect = Effects()[SndName];
  if (!effect) {
    effect = new QSoundEffect(QCoreApplication::instance());
    effect->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
  }
  effect->play();
}
