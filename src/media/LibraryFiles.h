#pragma once

#include <string>

// Where a shared library is loaded from: folder + name when the file is in the
// folder (so the folder's copy is used), otherwise the bare name for the
// system's search order. A name that holds a folder itself is used as it is.
std::string LibraryPathIn(const std::string& folder, const std::string& name);

// The dynamic loader's text for its last failure.
std::string DynamicLoaderError();
