#include "app/sound.h"

#include <QSoundEffect>
#include <QUrl>

#include <map>
#include <memory>

#include "platform/file_names.h"

namespace {

std::filesystem::path& Folder() {
  static std::filesystem::path folder;
  return folder;
}

std::string& Last() {
  static std::string last;
  return last;
}

// One effect per sound, kept so that a playing sound is not cut off.
std::map<std::string, std::unique_ptr<QSoundEffect>>& Effects() {
  static std::map<std::string, std::unique_ptr<QSoundEffect>> effects;
  return effects;
}

}  // namespace

void SetSoundFolder(const std::filesystem::path& programFolder) { Folder() = programFolder; }

void PlayMySound(const std::string& SndName) {
  Last() = SndName;
  const std::filesystem::path file = FindPathIgnoringCase(Folder(), SndName + ".wav");
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return;
  auto& effect = Effects()[SndName];
  if (!effect) {
    effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
  }
  effect->play();
}

const std::string& LastSoundRequested() { return Last(); }
