#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/options/GenericOptions.h"
#include "media/MediaApi.h"

// The engine's limits on files per task and streams per file.
constexpr int kMaxFiles = 20;
constexpr int kMaxStreams = 20;

// The three kinds of stream the options address, in the order used as an index.
enum class StreamKind { Video = 0, Audio = 1, Subtitle = 2 };
constexpr int kStreamKindCount = 3;

constexpr AVMediaType MediaTypeOf(StreamKind kind) {
  return kind == StreamKind::Video ? AVMEDIA_TYPE_VIDEO
         : kind == StreamKind::Audio ? AVMEDIA_TYPE_AUDIO
                                     : AVMEDIA_TYPE_SUBTITLE;
}

struct StreamMap {
  int file = 0, stream = 0;          // input stream
  int syncFile = 0, syncStream = 0;  // stream it keeps in step with
};

struct MetadataMap {
  int outputFile = 0, inputFile = 0;
};

// Settings consumed by the next input or output file that opens ("pending").
struct PendingFileSettings {
  std::string formatName;        // "f"
  bool pgmyuvDecoder = false;    // "f pgmyuv": image2 with the PGM-YUV decoder
  int frameWidth = 0;            // "s"
  int frameHeight = 0;
  float aspectRatio = 0;         // "aspect"
  AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;      // "pix_fmt"
  bool pixelFormatFromSource = false;               // taken from the last input, not asked for
  AVSampleFormat sampleFormat = AV_SAMPLE_FMT_NONE; // "sample_fmt"
  AVRational frameRate{0, 0};    // "r"
  int sampleRate = 44100;        // "ar"
  int channels = 2;              // "ac"
  float audioQuality = -99999;   // "aq"; -99999: none
  std::array<std::string, kStreamKindCount> codecName;  // "vcodec", "acodec", "scodec": name or "copy"
  std::array<bool, kStreamKindCount> disabled{};        // "vn", "an", "sn"
  std::array<std::uint32_t, kStreamKindCount> codecTag{};  // "vtag", "atag", "stag"
  std::array<std::string, kStreamKindCount> language;   // "vlang", "alang", "slang"
  std::array<std::vector<std::string>, kStreamKindCount> bitstreamFilters;  // "vbsf" ...: "name[=args]"
  std::vector<std::pair<std::string, std::string>> metadata;  // "metadata", in entry order
  std::int64_t startTime = 0;           // "ss", microseconds
  std::int64_t recordingTime = INT64_MAX;  // "t", microseconds; INT64_MAX: none
  std::int64_t recordingTimestamp = 0;  // "timestamp", seconds since 1970
  std::int64_t inputTsOffset = 0;       // "itsoffset", microseconds
  std::array<double, kMaxStreams> tsScale{};  // "itsscale" per stream of the next input; 0: none
  std::vector<std::uint16_t> intraMatrix, interMatrix;  // 64 coefficients each when set
  std::string rcOverride;               // "rc_override"
  std::string videoFilters;             // "vf" / "vfilters"
  int cropTop = 0, cropBottom = 0, cropLeft = 0, cropRight = 0;  // deprecated crop options
  int videoChannel = 0;                 // "vc"
  std::string tvStandard;               // "tvstd"
  int programId = -1;                   // "programid"
  std::map<int, int> streamIds;         // "streamid": output stream index -> id
  int topFieldFirst = -1;               // "top"
  int intraDcPrecision = 8;             // "dc"
  bool keepSurround = false;            // "keepsurround": 5.1 AC-3 sound is also copied beside the converted
  bool everyStream = false;             // "everystream": each audio and subtitle stream of the first input kept
};

// Settings of the whole task.
struct TaskSettings {
  int verbosity = 1;                    // "v"
  int videoSyncMethod = -1;             // "vsync"
  int audioSyncMethod = 0;              // "async"
  double audioDriftThreshold = 0.1;     // "adrift_threshold", seconds
  double dtsDeltaThreshold = 10;        // "dts_delta_threshold", seconds
  bool inputSync = false;               // "isync"
  bool copyTimestamps = false;          // "copyts"
  bool shortest = false;                // "shortest"
  bool exitOnError = false;             // "xerror"
  bool loopInput = false;               // "loop_input"
  int loopOutput = -1;                  // "loop_output"
  bool rateEmulation = false;           // "re"
  bool dumpPackets = false, hexDump = false;  // "dump", "hex"
  int pass = 0;                         // "pass": 1 or 2
  std::string passLogPrefix;            // "passlogfile"; empty: "ffmpeg2pass"
  std::string vstatsFile;               // "vstats", "vstats_file"
  std::int64_t fileSizeLimit = 0;       // "fs", bytes; 0: none
  std::array<int, 3> maxFrames{INT_MAX, INT_MAX, INT_MAX};  // "vframes", "aframes", "dframes"
  bool intraOnly = false;               // "intra"
  bool sameQuality = false;             // "sameq"
  bool deinterlace = false;             // "deinterlace": every picture
  bool autoDeinterlace = false;         // "autodeinterlace": pictures that are really interlaced
  bool psnr = false;                    // "psnr"
  bool qpHistogram = false;             // "qphist"
  bool forceFps = false;                // "force_fps"
  int videoDiscard = 0;                 // "vdt"
  float qscale = -1;                    // "qscale"; -1: none
  int meThreshold = 0;                  // "me_threshold"
  int audioVolume = 256;                // "vol"; 256: unchanged
  double muxPreload = 0.5;              // "muxpreload", seconds
  double muxMaxDelay = 0.7;             // "muxdelay", seconds
  int globalHeader = 0;                 // "vglobal"
  int copyInitialNonKeyframes = 0;      // "copyinkf"
  std::int64_t expectedDuration = -1;   // expected total duration, microseconds; -1: unknown
  std::vector<StreamMap> streamMaps;    // "map"
  std::vector<MetadataMap> metadataMaps;  // "map_meta_data"
};

// What applying an option needs of the task beyond the settings.
class OptionHost {
 public:
  virtual ~OptionHost() = default;
  // "newvideo", "newaudio", "newsubtitle": one more stream of that kind in the
  // last opened output file, built from the pending settings.
  virtual void AddStreamToLastOutput(StreamKind kind) = 0;
  // Frame rates of the opened inputs' video streams, in file order (the
  // automatic norm of a target preset).
  virtual std::vector<AVRational> InputVideoFrameRates() const = 0;
  // "vhook": a module library path and its arguments.
  virtual void AddHookModule(const std::vector<std::string>& words) = 0;
};

// The option vocabulary: every option reaches a task through Apply, which
// updates the settings above (or the generic option store) and raises
// EngineException with the engine's texts for invalid values.
class TaskOptions {
 public:
  TaskOptions();

  void Apply(const std::string& name, const std::string& value, OptionHost& host);
  // Target preset "vcd", "svcd", "dvd", "dv", "dv50" with an optional "pal-",
  // "ntsc-" or "film-" prefix; fallbackNorm decides when the automatic norm
  // cannot ("film", "ntsc", anything else PAL).
  void ApplyTarget(const std::string& value, const std::string& fallbackNorm, OptionHost& host);
  // Stores a library option; a value the libraries refuse raises
  // "Invalid value \"<value>\" for option \"<name>\"".
  void SetGeneric(const std::string& name, const std::string& value);
  // Back to the defaults (a task reset).
  void Reset();

  PendingFileSettings pending;
  TaskSettings task;
  GenericOptions generic;
};
