#pragma once

#include <string>
#include <vector>

// "dvd titles PATH": lists the titles of a DVD through the DVD plug-in from
// the LibAV folder beside the program; returns the exit code (0 listed, 1 no
// readable DVD or no plug-in, 2 a wrong command line).
int RunDvdCommand(const std::vector<std::string>& arguments);
