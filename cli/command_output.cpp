#include "cli/command_output.h"

#include <cerrno>
#include <cstring>

#include "cli/text_escape.h"
#include "imaging/jpeg_export.h"
#include "imaging/tool_image.h"
#include "platform/ascii_case.h"

void PrintError(std::FILE* err, const char* command, const std::string& message) {
  std::fprintf(err, "vqx %s: %s\n", command, EscapeForTerminal(message).c_str());
}

bool FlushResults(std::FILE* out, std::FILE* err, const char* command, int earlierError) {
  errno = 0;
  if (std::fflush(out) == 0 && !std::ferror(out)) return true;
  const int error = earlierError != 0 ? earlierError : errno;
  PrintError(err, command, std::string("cannot write the results: ") +
                               (error != 0 ? std::strerror(error) : "write error"));
  return false;
}

bool SaveKindOf(const std::filesystem::path& file, SaveKind& kind, std::string& error) {
  const std::string extension = file.extension().string();
  if (EqualsIgnoringAsciiCase(extension, ".CRY")) {
    kind = SaveKind::ToolImage;
  } else if (EqualsIgnoringAsciiCase(extension, ".JPG")) {
    kind = SaveKind::Picture;
  } else {
    error = "--save writes a tool image (.CRY) or a JPEG picture (.jpg), not '" + file.string() + "'";
    return false;
  }
  return true;
}

FileStatus SaveResult(const std::filesystem::path& file, SaveKind kind, const Bitmap& toolImage,
                      const Bitmap& picture) {
  return kind == SaveKind::ToolImage ? SaveBmpAsPNG(toolImage, file) : SaveBmpAsJpeg(picture, file);
}
