#pragma once

#include <string>
#include <vector>

// "convert --format CODE [-d FOLDER] FILE...": converts each file as the window
// would with that format and the stored settings, one after another, into
// FOLDER (default: the output folder of the settings) under the name the
// window gives it. "convert --format CODE [-d FOLDER] --title N DVD" converts
// title N of the DVD the same way as the window's job "DVD Title N". Prints
// one line per job; returns 0 when every job converted, 1 when any failed or
// the command line is wrong, 130 when interrupted.
int RunFormatConvertCommand(const std::vector<std::string>& arguments);
