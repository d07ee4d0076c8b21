#pragma once

// Whole-file reading and crash-safe whole-file replacement.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_status.h"

// Reads every byte of `path` into `bytes`. On failure `bytes` is untouched and
// the message names the file and the system's reason.
FileStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// Replaces `path` with `bytes`: they go to a new temporary file beside it,
// which is flushed to disk and renamed over the old one, so a crash or a full
// disk leaves either the complete old or the complete new file. An existing
// file keeps its permission bits.
FileStatus WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);
