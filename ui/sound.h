#pragma once

// The signal sounds "OK", "FAIL" and "tada": <name>.wav beside the program,
// played asynchronously; a missing file or audio device stays silent.

#include <filesystem>
#include <string>

void SetSoundFolder(const std::filesystem::path& programFolder);
void PlayMySound(const std::string& SndName);
