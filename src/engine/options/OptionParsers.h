#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/options/TaskOptions.h"

// Option value texts to values. The parsers that can refuse a value raise
// EngineException with the engine's texts; the plain number parsers read as
// much of a number as the text holds (0 when none), as the engine always did.
namespace option_parsers {

// "0" is false, any other text true.
bool Boolean(const std::string& value);
int Integer(const std::string& value);
std::int64_t Integer64(const std::string& value);
double Number(const std::string& value);
// A number with an optional k, M or G multiplier ("64k" is 64000).
double BitRate(const std::string& value);

// "Invalid value \"<value>\" for option \"<option>\"": a value the option cannot take.
std::string InvalidValueText(const std::string& option, const std::string& value);
// An integer of at least 0; refused with InvalidValueText.
int NonNegativeInteger(const std::string& option, const std::string& value);

// Microseconds; refused: "Invalid duration specification for <option>: <value>".
std::int64_t Duration(const std::string& option, const std::string& value);
// Microseconds since 1970; refused: "Invalid date specification for <option>: <value>".
std::int64_t Date(const std::string& option, const std::string& value);

// "4:3", "1.7777": a result that is not above 0 fails "Incorrect aspect ratio specification.".
float AspectRatio(const std::string& value);
// 64 comma-separated coefficients: "Syntax error in matrix \"%s\" at coeff %d".
std::vector<std::uint16_t> Matrix(const std::string& value);
// Exactly four characters, in order the tag's bytes: "<kindName> tag parameter must be 4 chars".
std::uint32_t CodecTag(const std::string& value, const char* kindName);
// "index:value" for option: output stream index and its identifier.
std::pair<int, int> StreamId(const std::string& option, const std::string& value);
// "file.stream[:syncfile.syncstream]", each separator any one character.
StreamMap Map(const std::string& value);
// "outputfile:inputfile".
MetadataMap MetadataMapping(const std::string& value);
// "stream:scale"; a stream outside 0..kMaxStreams-1 fails "stream index over MAX_STREAMS(%d)".
std::pair<int, double> StreamScale(const std::string& value);

}  // namespace option_parsers
