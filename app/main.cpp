// veldra-qx [--home DIR] [--simulate] [--camera /dev/videoN]

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/program.h"
#include "platform/version_info.h"
#include "ui/user_dialogs.h"

// The file version record of this program (see platform/version_info.h).
extern const FileVersionRecord kProgramVersion;
[[gnu::used]] constinit const FileVersionRecord kProgramVersion =
    MakeFileVersionRecord(VQX_VERSION_MAJOR, VQX_VERSION_MINOR, VQX_VERSION_PATCH, VQX_VERSION_BUILD);

namespace {

constexpr const char* kUsage =
    "usage: veldra-qx [--home DIR] [--simulate] [--camera /dev/videoN]\n"
    "  --home DIR      home folder (settings, images, reports); the working folder by default\n"
    "  --simulate      use the simulated gauge instead of the camera\n"
    "  --camera DEV    use only this video device (default: the gauge's camera among /dev/video*)\n";

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  // A file-size limit (ulimit -f) makes a write fail with EFBIG, which the
  // writers report and clean up after, instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  if (!HasDisplay()) {
    std::fputs("veldra-qx: no display here (DISPLAY is not set). Start it on a desktop; vqx measures without a "
               "window.\n",
               stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("veldra-qx");
  QApplication::setApplicationDisplayName("VELDRA QX");

  QCommandLineParser parser;
  parser.setApplicationDescription("VELDRA QX: measures creasing channels with the VELDRA QuadraGauge.");
  QCommandLineOption home("home", "Home folder (settings, images, reports); the working folder by default.", "DIR");
  QCommandLineOption simulate("simulate", "Use the simulated gauge instead of the camera.");
  QCommandLineOption camera("camera", "Use only this video device (default: the gauge's camera among /dev/video*).",
                            "/dev/videoN");
  parser.addOption(home);
  parser.addOption(simulate);
  parser.addOption(camera);
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
  if (parser.isSet(camera)) {
    const std::filesystem::path node = parser.value(camera).toStdString();
    options.cameraFolder = node.parent_path().string();
    options.cameraNode = node.filename().string();
  }

  QtUserDialogs dialogs;
  VeldraProgram program(options, dialogs);
  program.Show();
  return QApplication::exec();
}
