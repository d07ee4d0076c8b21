#pragma once

#include <filesystem>

// The folder of the running program: it holds LANGUAGE/ beside the executable.
std::filesystem::path ProgramFolder();
