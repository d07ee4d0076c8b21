#pragma once

// What every vqx command does with its output: messages with escaped file
// names, results that must reach their reader, and the --save files.

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/bitmap.h"
#include "platform/file_status.h"

// "vqx COMMAND: message" on err, control characters of the message escaped.
void PrintError(std::FILE* err, const char* command, const std::string& message);

// Flushes the results; false, with a message on err, when they could not be
// written (a full disk, a closed pipe). `earlierError` is the error number
// of a write that failed before, for the message.
bool FlushResults(std::FILE* out, std::FILE* err, const char* command, int earlierError = 0);

// What --save writes, by the extension of the name (compared without regard
// to case): ".CRY" the tool image, ".JPG" a JPEG of the result picture.
enum class SaveKind { ToolImage, Picture };

// False with a message for any other extension.
bool SaveKindOf(const std::filesystem::path& file, SaveKind& kind, std::string& error);

// Writes the tool image or the result picture as `kind` says.
FileStatus SaveResult(const std::filesystem::path& file, SaveKind kind, const Bitmap& toolImage,
                      const Bitmap& picture);
