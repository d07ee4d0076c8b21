#pragma once

// What the windows of the program share: the measurement state, the language
// store and the language in use, the folders and files, the capture
// destination, the report pictures, and the user's dialogs.

#include <filesystem>
#include <string>

#include "measure/records.h"
#include "platform/language.h"
#include "station/station_pictures.h"

class UserDialogs;

struct AppContext {
  MeasureState state;
  LanguageStore language = CreateLanguage();
  std::string Sprache = "English";
  std::filesystem::path HomeDir;        // the home folder: settings, images, reports
  std::filesystem::path programFolder;  // LANGUAGE, sounds, the certificate logo
  std::filesystem::path programFile;    // the running program, for its version
  std::filesystem::path main_inifile;   // HomeDir/VELDRAQX.INI
  std::filesystem::path cf_inifile;     // the settings file in use
  int CALAktive = 0;
  // The report pictures of a calibration or verification.
  StationPictures pictures;
  UserDialogs* dialogs = nullptr;

  // Loads language `name` from the program folder; a missing file is fatal
  // (message, exit code 1). False when it was missing and the dialogs did not
  // end the program (tests).
  bool LoadLanguage(const std::string& name);
};
