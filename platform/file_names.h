#pragma once

// The program's own files and folders ("LANGUAGE"/"Language", ".CRY", ...) are
// named as on a case-insensitive file system; on a case-sensitive one they are
// found without regard to (ASCII) case.

#include <filesystem>

// `folder` / `relative`, where each component of `relative` that does not
// exist as spelled is replaced by an existing entry that differs only in case.
// Components with no such entry stay as spelled.
std::filesystem::path FindPathIgnoringCase(const std::filesystem::path& folder,
                                           const std::filesystem::path& relative);
