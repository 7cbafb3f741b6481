#include "frontend/FormatList.h"

#include "frontend/IniFile.h"

namespace format_catalogue {

const std::vector<FormatGroup>& groups() {
  static const std::vector<FormatGroup> list{
      {"Apple iPhone", GroupPicture::Iphone,
       {"iPhone MPEG-4 Extra Video (*.mp4)", "iPhone MPEG-4 Wide Screen (*.mp4)",
        "iPhone MPEG-4 Movie (*.mp4)", "iPhone Movie for 480p TV Out (*.mp4)",
        "iPhone Movie for 576p TV Out (*.mp4)"}},
      {"GPhone", GroupPicture::Gphone, {"GPhone MPEG-4 Movie (*.mp4)"}},
      {"Mobile Phone", GroupPicture::MobilePhone,
       {"Mobile Phone 3GP h263 Video(*.3gp)", "Mobile Phone 3GP MPEG-4 Video(*.3gp)",
        "Mobile Phone 3GP2 h263 Video(*.3gp)", "Mobile Phone 3GP2 MPEG-4 Video(*.3gp)",
        "Mobile Phone MPEG-4 Video(*.mp4)", "Nokia N Series MPEG-4 Video(*.mp4)"}},
      {"BlackBerry", GroupPicture::BlackBerry, {"BlackBerry MPEG-4 Video(*.mp4)"}},
      {"Nokia", GroupPicture::Nokia, {"Nokia N Series MPEG-4 Video (*.mp4)"}},
      {"Windows Mobile", GroupPicture::PocketPc,
       {"Dell Axim 51 Video (*.wmv)", "Dell Axim 51V Video (*.wmv)",
        "HP iPAQ hw6500 Series Video (*.wmv)", "HP iPAQ hx2000/rx3000/rx1900 Series Video (*.wmv)",
        "HP iPAQ hx4700 Series Video (*.wmv)", "Palm Treo Series Video (*.wmv)",
        "HTC Touch Diamond Video (*.wmv)", "General Pocket PC Video (*.wmv)"}},
      {"General Video formates", GroupPicture::Film,
       {"MPEG-1 Video (*.mpg)", "MPEG-2 Video (*.mpg)", "MPEG-4 Video (*.mp4)",
        "H.264/MPEG-4 AVC Video (*.mp4)", "AVI Video (*.avi)", "WMV Video (*.wmv)",
        "Divx Video (*.avi)", "Xvid Video (*.avi)", "DV - NTSC -Digital Video Format (*.dv)",
        "DV - PAL -Digital Video Format (*.dv)"}},
      {"General Audio formates", GroupPicture::Note,
       {"MP3 MPEG Layer-3 Audio (*.mp3)", "AAC Advenced Audio Codec (*.aac)",
        "M4A MPEG-4 Audio (*.m4a)", "WMA - Windows Meida Audio (*.wma)",
        "WAV - Waveform Audio (*.wav)", "OGG Vorbis Audio Codec (*.ogg)",
        "AC-3 Audio Codec (*.ac3)"}},
  };
  return list;
}

std::vector<FormatEntry> AllFormats() {
  std::vector<FormatEntry> all;
  for (size_t g = 0; g < groups().size(); ++g)
    for (size_t p = 0; p < groups()[g].names.size(); ++p) all.push_back({int(g * 100 + p), groups()[g].names[p]});
  return all;
}

const char* FormatName(int code) {
  const int group = code / 100, position = code % 100;
  if (code < 0 || group >= int(groups().size()) || position >= int(groups()[size_t(group)].names.size()))
    return nullptr;
  return groups()[size_t(group)].names[size_t(position)];
}

std::string FormatSection(int code) { return "formatInfo" + std::to_string(code); }

std::string FormatFileExt(const IniFile& catalogue, int code) {
  return catalogue.readString(FormatSection(code), "FileExt", "mp4");
}

std::string FormatTarget(const IniFile& catalogue, int code) {
  return catalogue.readString(FormatSection(code), "Format", "null");
}

std::vector<std::string> SplitItems(const std::string& list) {
  if (list.empty() || list == "null") return {};
  std::vector<std::string> items;
  size_t start = 0;
  for (size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
    items.push_back(list.substr(start, comma - start));
  items.push_back(list.substr(start));
  return items;
}

}  // namespace format_catalogue
