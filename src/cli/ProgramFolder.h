#pragma once

#include <string>

// Folder of the running executable, with a trailing "/".
std::string ProgramFolder();
