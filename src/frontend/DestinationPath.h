#pragma once

#include <string>

// The destination of a source in the output folder: folder + the source's file
// name without its extension + "_(new)" + suffix, or "_(new_N)" + suffix with
// the first N from 1 whose file does not exist yet. The suffix is "_ipod." +
// extension for the name shown when files are added and "." + extension when
// the conversion starts. The caller applies the output folder fallback first
// (OutputFolderOrDefault) or passes a folder of its own.
std::string MakeDestinationPath(const std::string& outputFolder, const std::string& source, const std::string& suffix);
