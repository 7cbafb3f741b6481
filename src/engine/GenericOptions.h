#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/MediaApi.h"

// Options the engine does not name itself, handed to the libraries' own option
// tables: codec options per kind of stream, format options and scaler options,
// including encoder-private options (libx264's "profile", mpeg2video's
// "scan_offset" ...). Names set are remembered in set order and copied onto
// every new stream's codec context and every new file's format context.
class GenericOptions {
 public:
  GenericOptions();
  ~GenericOptions();
  GenericOptions(const GenericOptions&) = delete;
  GenericOptions& operator=(const GenericOptions&) = delete;

  // Looks the name up in the codec options of each kind, the format options and
  // the scaler options, then with a leading "a", "v" or "s" removed on that kind.
  // Returns false for a name nobody knows. A known name with a value the library
  // refuses is logged "Invalid value \"%s\" for option \"%s\"\n" (error level),
  // not stored, and counts as known.
  bool Set(const std::string& name, const std::string& value);
  // The value stored for a codec option of a kind ("" when never set).
  std::string Get(AVMediaType kind, const std::string& name) const;

  // Copies the stored options that apply to a codec context of this kind and
  // direction (before the codec is opened; private options need the codec set).
  void ApplyTo(AVCodecContext* codec, AVMediaType kind, bool encoding) const;
  void ApplyTo(AVFormatContext* format, bool output) const;
  void ApplyTo(SwsContext* scaler) const;
  void Clear();

 private:
  struct Entry {
    AVMediaType kind;   // AVMEDIA_TYPE_UNKNOWN for format and scaler options
    int target;         // which table it belongs to (codec, codec private, format, scaler)
    std::string name, value;
  };
  std::vector<Entry> entries_;  // in set order; a later set of the same name replaces the value
};
