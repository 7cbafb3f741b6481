#pragma once

#include <string>
#include <vector>

// "convert --format CODE [-d FOLDER] FILE...": converts each file as the window
// would with that format and the stored settings, one after another, into
// FOLDER (default: the output folder of the settings) under the name the
// window gives it. Prints one line per file; returns 0 when every file
// converted, 1 when any failed or the command line is wrong, 130 when
// interrupted.
int RunFormatConvertCommand(const std::vector<std::string>& arguments);
