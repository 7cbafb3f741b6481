#pragma once

#include <stdexcept>
#include <string>

// The destination of a source in the output folder: folder + the source's file
// name without its extension + "_(new)" + suffix, or "_(new_N)" + suffix with
// the first N from 1 whose file does not exist yet. The suffix is "_ipod." +
// extension for the name shown when files are added and "." + extension when
// the conversion starts. The caller applies the output folder fallback first
// (OutputFolderOrDefault) or passes a folder of its own.
//
// A name counts as taken while a file of that name or its partial file (a
// conversion writing it, see partial_output) exists. Names longer than the
// folder's file system takes are shortened: the source's name is cut on a
// character boundary, "_(new…)" and the suffix stay.

// The folder cannot be searched for a free name (no permission, no such
// folder, a name the system cannot take); the text names the folder.
class DestinationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The first free name. Throws DestinationError.
std::string MakeDestinationPath(const std::string& outputFolder, const std::string& source, const std::string& suffix);

// The "_(new)" name without looking at the folder, for showing a name when the
// folder cannot be searched.
std::string FirstDestinationPath(const std::string& outputFolder, const std::string& source, const std::string& suffix);

// The first free name, reserved for the caller by creating its partial file
// exclusively, so that no other conversion, in this process or another, picks
// it; the engine then writes that partial file. Throws DestinationError.
std::string ReserveDestinationPath(const std::string& outputFolder, const std::string& source,
                                   const std::string& suffix);

// Gives up a reservation that no engine task took over.
void ReleaseDestinationPath(const std::string& destination);
