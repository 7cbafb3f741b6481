#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "media/MediaApi.h"

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

  enum class Result { Stored, UnknownName, InvalidValue };

  // Translates names and values that only older libraries knew (see
  // LegacyOptions.h), then looks each name up in the codec options of each kind,
  // the format options and the scaler options, then with a leading "a", "v" or
  // "s" removed on that kind. A known name with a value the library refuses is
  // logged "Invalid value \"%s\" for option \"%s\"\n" (error level) and not
  // stored.
  Result Set(const std::string& name, const std::string& value);
  // The value stored for a codec option of a kind ("" when never set);
  // AVMEDIA_TYPE_UNKNOWN asks for a format or scaler option. Scaler flags are
  // stored resolved, as a decimal number ("sws_flags" "lanczos" gives "512").
  std::string Get(AVMediaType kind, const std::string& name) const;
  // The codec strictness stored for a kind ("strict"), FF_COMPLIANCE_NORMAL when unset.
  int Strictness(AVMediaType kind) const;

  // Copies the stored options that apply to a codec context of this kind and
  // direction (before the codec is opened; private options need the codec set).
  void ApplyTo(AVCodecContext* codec, AVMediaType kind, bool encoding) const;
  void ApplyTo(AVFormatContext* format, bool output) const;
  void ApplyTo(SwsContext* scaler) const;
  void Clear();

 private:
  enum class Table { Codec, Format, Scaler };
  struct Entry {
    AVMediaType kind;  // AVMEDIA_TYPE_UNKNOWN for format and scaler options
    Table table;
    std::string name, value;
  };
  struct Location {
    AVMediaType kind;
    Table table;
    std::string name;  // as the library knows it ("b" for "vb")
    int flags;         // the kind's option flag; 0 when found by prefix
  };
  static std::optional<Location> Locate(const std::string& name);
  Result SetTranslated(const std::string& name, const std::string& value);
  void Store(AVMediaType kind, Table table, const std::string& name, const std::string& value);
  Entry* Find(AVMediaType kind, Table table, const std::string& name);
  const Entry* Find(AVMediaType kind, Table table, const std::string& name) const;
  void ApplyRateTolerance(AVCodecContext* codec) const;

  // In set order; a later set of the same name replaces the value, except that
  // a relative flags value ("+qscale") adds to the one stored.
  std::vector<Entry> entries_;
};
