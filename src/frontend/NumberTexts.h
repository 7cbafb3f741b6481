#pragma once

#include <string_view>

// The number tests of the parameter panel, the settings dialog and the task
// builders. Blanks around the number are allowed.

// The text parses completely as a 32-bit integer.
bool IsInteger(std::string_view text, int* value = nullptr);
// The text parses completely as a finite decimal number with "." as the decimal
// point (whole numbers included).
bool IsNumber(std::string_view text, long double* value = nullptr);
