#include "engine/options/OptionParsers.h"

#include <cstdlib>
#include <cstring>

#include "media/EngineException.h"
#include "media/MediaUtils.h"

namespace option_parsers {

namespace {

// strtol over a C string, advancing past the digits read.
long readLong(const char*& cursor) {
  char* end = nullptr;
  const long number = std::strtol(cursor, &end, 10);
  cursor = end;
  return number;
}

// Skips the one separator character, if any is left.
void skipSeparator(const char*& cursor) {
  if (*cursor) ++cursor;
}

std::int64_t parseTime(const std::string& option, const std::string& value, bool duration) {
  std::int64_t microseconds = 0;
  if (media::av_parse_time(&microseconds, value.c_str(), duration ? 1 : 0) < 0)
    throw EngineException(StringPrintf("Invalid %s specification for %s: %s", duration ? "duration" : "date",
                                       option.c_str(), value.c_str()));
  return microseconds;
}

}  // namespace

bool Boolean(const std::string& value) { return value != "0"; }

int Integer(const std::string& value) { return int(std::strtol(value.c_str(), nullptr, 10)); }

std::int64_t Integer64(const std::string& value) { return std::strtoll(value.c_str(), nullptr, 10); }

std::string InvalidValueText(const std::string& option, const std::string& value) {
  return StringPrintf("Invalid value \"%s\" for option \"%s\"", value.c_str(), option.c_str());
}

int NonNegativeInteger(const std::string& option, const std::string& value) {
  const int number = Integer(value);
  if (number < 0) throw EngineException(InvalidValueText(option, value));
  return number;
}

double Number(const std::string& value) { return std::strtod(value.c_str(), nullptr); }

double BitRate(const std::string& value) {
  char* end = nullptr;
  const double number = std::strtod(value.c_str(), &end);
  switch (*end) {
    case 'k':
    case 'K': return number * 1e3;
    case 'M': return number * 1e6;
    case 'G': return number * 1e9;
    default: return number;
  }
}

std::int64_t Duration(const std::string& option, const std::string& value) { return parseTime(option, value, true); }

std::int64_t Date(const std::string& option, const std::string& value) { return parseTime(option, value, false); }

float AspectRatio(const std::string& value) {
  const auto colon = value.find(':');
  double ratio = Number(value);
  if (colon != std::string::npos) {
    const double denominator = Number(value.substr(colon + 1));
    ratio = denominator != 0 ? Number(value.substr(0, colon)) / denominator : 0;
  }
  // Negative ratios are refused too: they would become a negative picture shape.
  if (!(ratio > 0)) throw EngineException("Incorrect aspect ratio specification.");
  return float(ratio);
}

std::vector<std::uint16_t> Matrix(const std::string& value) {
  std::vector<std::uint16_t> coefficients;
  const char* cursor = value.c_str();
  for (int i = 0;; ++i) {
    coefficients.push_back(std::uint16_t(std::atoi(cursor)));
    if (i == 63) break;
    cursor = std::strchr(cursor, ',');
    if (!cursor) throw EngineException(StringPrintf("Syntax error in matrix \"%s\" at coeff %d", value.c_str(), i));
    ++cursor;
  }
  return coefficients;
}

std::uint32_t CodecTag(const std::string& value, const char* kindName) {
  if (value.size() != 4) throw EngineException(StringPrintf("%s tag parameter must be 4 chars", kindName));
  const auto byte = [&](size_t i) { return std::uint8_t(value[i]); };
  return MKTAG(byte(0), byte(1), byte(2), byte(3));
}

std::pair<int, int> StreamId(const std::string& option, const std::string& value) {
  const auto colon = value.find(':');
  char* indexEnd = nullptr;
  char* idEnd = nullptr;
  const std::string index = value.substr(0, colon);
  const long streamIndex = colon == std::string::npos ? 0 : std::strtol(index.c_str(), &indexEnd, 10);
  const long id = colon == std::string::npos ? 0 : std::strtol(value.c_str() + colon + 1, &idEnd, 10);
  if (colon == std::string::npos || index.empty() || *indexEnd || idEnd == value.c_str() + colon + 1 || *idEnd)
    throw EngineException(StringPrintf("Invalid value \"%s\" for option \"%s\", required syntax is \"index:value\"",
                                       value.c_str(), option.c_str()));
  return {int(streamIndex), int(id)};
}

StreamMap Map(const std::string& value) {
  StreamMap map;
  const char* cursor = value.c_str();
  map.file = int(readLong(cursor));
  skipSeparator(cursor);
  map.stream = int(readLong(cursor));
  if (*cursor) {
    skipSeparator(cursor);
    map.syncFile = int(readLong(cursor));
    skipSeparator(cursor);
    map.syncStream = int(readLong(cursor));
  } else {
    map.syncFile = map.file;
    map.syncStream = map.stream;
  }
  return map;
}

MetadataMap MetadataMapping(const std::string& value) {
  MetadataMap map;
  const char* cursor = value.c_str();
  map.outputFile = int(readLong(cursor));
  skipSeparator(cursor);
  map.inputFile = int(readLong(cursor));
  return map;
}

std::pair<int, double> StreamScale(const std::string& value) {
  const char* cursor = value.c_str();
  const long stream = readLong(cursor);
  skipSeparator(cursor);
  // A negative index would address memory outside the table as well.
  if (stream < 0 || stream >= kMaxStreams)
    throw EngineException(StringPrintf("stream index over MAX_STREAMS(%d)", kMaxStreams));
  return {int(stream), std::strtod(cursor, nullptr)};
}

}  // namespace option_parsers
