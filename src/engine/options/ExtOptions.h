#pragma once

#include <string>
#include <utility>
#include <vector>

// "name=value" lines of an ExtOptions text: trimmed, line breaks normalised,
// the literal "<CRLF>" taken as a line break; a line without "=" has an empty
// value; names come back lower-cased.
std::vector<std::pair<std::string, std::string>> ParseExtOptions(const std::string& text);
