#pragma once

// Whole-file reading with limits and crash-safe whole-file replacement.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_status.h"

// What a reader accepts: files up to `maxBytes` (far above any real file of
// the kind, so that a wrong or hostile file cannot exhaust memory) and, when
// `signature` is not empty, only files that start with these bytes; they are
// checked before the rest of the file is read.
struct ReadRules {
  std::uintmax_t maxBytes = 0;
  std::string_view kind;           // "settings file": names the limit in messages
  std::string_view signature;      // the first bytes, or empty
  std::string_view signatureKind;  // "PNG file": what a file without the signature is not
};

// Limits of the program's own readers.
inline constexpr std::uintmax_t kMaxTextFileBytes = 16u << 20;   // settings, calibration and language files
inline constexpr std::uintmax_t kMaxImageFileBytes = 128u << 20; // tool images and logos

// Reads every byte of `path` into `bytes`. Only regular files are read: a
// folder, a FIFO, a device or a socket is refused before it is opened for
// reading, so a read never blocks and never runs without end. On failure
// `bytes` is untouched and the message names the file and the reason (the
// system's, or the limit of the rules).
// Without rules a file up to kMaxImageFileBytes is read.
FileStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes,
                         const ReadRules& rules = {kMaxImageFileBytes, "file", {}, {}});

// Replaces `path` with `bytes`: they go to a new temporary file in the same
// folder, which is flushed to disk and renamed over the old one, so a crash
// or a full disk leaves either the complete old or the complete new file.
// - A symbolic link is followed: the file it points to is replaced in its own
//   folder and the link stays a link.
// - An existing target that is not a regular file (a folder, a device, a
//   FIFO) or that is write-protected (no write permission bit, or not
//   writable by this process) is refused and left alone.
// - A replaced file keeps its permission bits, and its owner and group where
//   the process may set them.
FileStatus WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The file a chain of symbolic links at `path` ends at: `path` itself when it
// is no link, the last name of the chain when that names nothing. False with
// the system's error number (ELOOP for a circle) when the chain cannot be read.
bool FollowLinks(const std::filesystem::path& path, std::filesystem::path& target, int& error);

// A name for a new temporary file beside `path` that no other writer uses at
// the same time: "." + the name + ".tmp" + process id + "." + a counter + "."
// + a random number.
std::filesystem::path TemporaryNameFor(const std::filesystem::path& path);

// The process id in a temporary file name of TemporaryNameFor, or 0 when the
// name is none of them.
long TemporaryNameProcess(std::string_view name);

// Writes every byte to the descriptor; false with errno set on a failure.
bool WriteAllBytes(int fd, std::string_view bytes);

// Flushes a folder's entries to disk (a failure loses nothing and is ignored).
void SyncFolder(const std::filesystem::path& folder);

// The reason a file of this mode is no regular file ("it is a folder", ...),
// or empty for a regular file.
std::string NotARegularFile(unsigned mode);
