// veldra-qx [--home DIR] [--simulate] [--camera-folder DIR]

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

#include "app/program.h"
#include "app/user_dialogs.h"
#include "platform/version_info.h"

// The file version record of this program (see platform/version_info.h).
extern const FileVersionRecord kProgramVersion;
[[gnu::used]] constinit const FileVersionRecord kProgramVersion =
    MakeFileVersionRecord(VQX_VERSION_MAJOR, VQX_VERSION_MINOR, VQX_VERSION_PATCH, VQX_VERSION_BUILD);

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("veldra-qx");
  QApplication::setApplicationDisplayName("VELDRA QX");

  QCommandLineParser parser;
  parser.setApplicationDescription("VELDRA QX: measures creasing channels with the VELDRA QuadraGauge.");
  parser.addHelpOption();
  QCommandLineOption home("home", "Home folder (settings, images, reports); the working folder by default.", "DIR");
  QCommandLineOption simulate("simulate", "Use the simulated gauge instead of the camera.");
  QCommandLineOption cameraFolder("camera-folder", "Folder of the video devices (default /dev).", "DIR", "/dev");
  parser.addOption(home);
  parser.addOption(simulate);
  parser.addOption(cameraFolder);
  parser.process(app);

  ProgramOptions options;
  options.home = std::filesystem::absolute(
      parser.isSet(home) ? std::filesystem::path(parser.value(home).toStdString()) : std::filesystem::current_path());
  std::error_code error;
  if (!std::filesystem::is_directory(options.home, error)) {
    std::fprintf(stderr, "veldra-qx: the home folder \"%s\" does not exist\n", options.home.c_str());
    return 2;
  }
  options.programFile = QCoreApplication::applicationFilePath().toStdString();
  options.simulate = parser.isSet(simulate);
  options.cameraFolder = parser.value(cameraFolder).toStdString();

  QtUserDialogs dialogs;
  VeldraProgram program(options, dialogs);
  program.Show();
  return QApplication::exec();
}
