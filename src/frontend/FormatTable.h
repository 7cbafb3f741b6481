#pragma once

#include <string_view>
#include <vector>

// The compiled description of the output formats, as rows of data: the
// picker's groups, the encoders the catalogue's lists offer and how a
// conversion hands each to the engine, the catalogue "Format" values a
// conversion acts on, and the other items the parameter panel stores. A new
// group, encoder or container is one row here, plus the format's section in
// the catalogue file. Format code = group * 100 + position, both from 0.
namespace format_catalogue {

// The picture the format picker draws beside a group.
enum class GroupPicture {
  Iphone, Gphone, MobilePhone, BlackBerry, Nokia, PocketPc, Film, Note,
  Tablet, Television, Web, Archive, Waveform
};

// A group's caption and picture and its formats' display names by position;
// each format's catalogue section holds its container, codecs, sizes and rates.
struct FormatGroup {
  const char* caption;
  GroupPicture picture;
  std::vector<const char*> names;
};

enum class EncoderKind { Video, Audio };

// How a conversion uses a stored video encoder.
enum class EncoderUse {
  Named,         // the output is encoded with it
  DvdTarget,     // named, and the output takes the engine's DVD target
  DevicePreset,  // named, with the preset "<stored>-<device>" (see TargetRow)
  ByContainer,   // not named: the output container picks its own encoder
};

// An encoder of the catalogue's VideoEncoder or AudioEncoder lists. Audio rows
// are always Named. A stored value without a row is named as it is for audio
// and left to the container for video.
struct EncoderRow {
  EncoderKind kind;
  const char* item;    // the list item in lower case; nullptr: only older settings files hold it
  const char* stored;  // the value stored in the settings file
  EncoderUse use = EncoderUse::Named;
  const char* engineName = nullptr;  // the engine's name when it is not the stored one
  // The encoder's option that takes a quality level ("Quality 20") for
  // constant-quality encoding; nullptr: the encoder has none.
  const char* qualityOption = nullptr;
  // Option lines ("name=value") the current formats give the encoder: the
  // profile today's devices play and the speed setting measured to keep up
  // with real time on two cores.
  const char* currentOptions = nullptr;
  const char* mp4Tag = nullptr;  // the tag MP4 files need for Apple players
};

// A catalogue "Format" value, in lower case, that a conversion acts on. A
// value no row names leaves the container to the file extension.
struct TargetRow {
  const char* name;
  bool setsContainer;  // handed to the engine as the output's file format
  bool presetDevice;   // DevicePreset encoders take the preset of this name
};
// The device of the preset when the format's target has none of its own.
constexpr const char* kDefaultPresetDevice = "mp4";

// A catalogue "Format" value of the groups after the specified eight: a
// container for today's players and what a conversion adds for it. Their
// encoders take their currentOptions in place of any device preset.
struct CurrentTarget {
  const char* name;                // the catalogue "Format" value, lower case
  const char* muxer;               // the engine's output format
  const char* options = nullptr;   // option lines for the output ("name=value")
  int maxWidth = 0, maxHeight = 0;  // an "as source" picture is fitted into this; 0: no limit
  bool chapters = false;           // a DVD title's chapters become chapter marks
  bool wholeTitle = false;         // a DVD job writes every audio and subtitle stream of its title
  bool keepsSurround = false;      // a 5.1 AC-3 track of the source is copied beside the converted one
};
// "as source" frame rates of the current formats stop here.
constexpr int kMaxSourceFrameRate = 60;

// The engine's target numbers and norms.
constexpr int kVcdTarget = 1, kSvcdTarget = 2, kDvdTarget = 3;
constexpr int kPalNorm = 1, kNtscNorm = 2;

// A standard disc target: the engine's target preset decides codecs, sizes and
// rates.
struct DiscTarget {
  const char* name;  // the catalogue "Format" value, lower case
  int target, norm;
  const char* wideSize;  // the frame size that makes a DVD 16:9; nullptr: always 4:3
};

// A list item and the value stored for it.
struct StoredItem {
  const char* item;
  const char* stored;
};

// How an item of a parameter list becomes the value stored under its key.
enum class ItemStore { AsText, VideoEncoder, AudioEncoder, Channel, Volume };

// A "para" key of the settings file with the catalogue list and default index
// it is chosen from.
struct ParameterList {
  const char* paraKey;
  const char* listKey;
  const char* indexKey;
  ItemStore store;
};

const std::vector<FormatGroup>& groups();
const std::vector<EncoderRow>& encoders();
const std::vector<TargetRow>& targets();
const std::vector<DiscTarget>& discTargets();
const std::vector<CurrentTarget>& currentTargets();
// Channel items, matched as written.
const std::vector<StoredItem>& channels();
// The percentages a Volume item may read ("25%"); 100 % is the engine's 256.
const std::vector<int>& volumePercents();
// The nine lists in the order the catalogue's combos are filled.
const std::vector<ParameterList>& parameterLists();
// Items of the main window's hidden legacy format combo, in order.
const std::vector<const char*>& legacyFormatItems();

// The rows that match exactly; nullptr when none does.
const EncoderRow* EncoderOfItem(EncoderKind kind, std::string_view lowerCaseItem);
const EncoderRow* EncoderStoredAs(EncoderKind kind, std::string_view stored);
const TargetRow* TargetNamed(std::string_view lowerCaseName);
const DiscTarget* DiscTargetNamed(std::string_view lowerCaseName);
const CurrentTarget* CurrentTargetNamed(std::string_view lowerCaseName);
const ParameterList* ParameterListOf(std::string_view paraKey);

}  // namespace format_catalogue
