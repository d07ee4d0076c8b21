#include "platform/shell_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <string>

extern char** environ;

bool OpenWithDefaultApplication(const std::filesystem::path& path) {
  // A shell that puts the opener in the background and ends at once, so the
  // program neither waits for the viewer nor keeps a zombie behind.
  std::string script = "xdg-open \"$1\" >/dev/null 2>&1 &";
  std::string name = "sh";
  std::string dashC = "-c";
  std::string file = path.string();
  char* argv[] = {name.data(), dashC.data(), script.data(), name.data(), file.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, "sh", nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
