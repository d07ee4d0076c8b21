#pragma once

#include <filesystem>

// Opens `path` with the desktop's default application (xdg-open), without
// waiting for it. False when the opener could not be started.
bool OpenWithDefaultApplication(const std::filesystem::path& path);
