#include "DvdAuthoring.h"

#include <cstdio>
#include <fstream>

#include "MediaWriter.h"
#include "Recipes.h"
#include "Shell.h"
#include "SubtitlePicture.h"
#include "TestDvd.h"

namespace test_dvd {
namespace {

using test_media::AudioSpec;
using test_media::MediaSpec;

// PAL MPEG-2 with the English (440 Hz) and German (880 Hz) AC-3 tracks.
MediaSpec PalSource(double seconds) {
  MediaSpec spec = test_media::Recipe(test_media::Kind::DvdPalMpeg2Ac3);
  spec.seconds = seconds;
  spec.audio->toneHz = kEnglishHz;
  AudioSpec german = *spec.audio;
  german.toneHz = kGermanHz;
  spec.moreAudio = {german};
  return spec;
}

// NTSC MPEG-2 with the French (660 Hz) MPEG audio track.
MediaSpec NtscSource(double seconds) {
  MediaSpec spec = test_media::Recipe(test_media::Kind::DvdNtscMpeg2Ac3);
  spec.seconds = seconds;
  spec.audio = AudioSpec{.encoder = "mp2", .sampleRate = 48000, .bitRate = 192000, .toneHz = kFrenchHz};
  return spec;
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// spumux's time form, 00:00:SS.ss, for times under a minute.
std::string Timecode(double seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "00:00:%05.2f", seconds);
  return text;
}

// Overlays the subtitle picture from kSubtitleStart to kSubtitleEnd.
void AddSubtitle(const std::string& work, const std::string& source, const std::string& target) {
  WriteSubtitlePicture(work + "/subtitle.png");
  WriteText(work + "/subtitle.xml",
            "<subpictures format=\"PAL\"><stream>\n"
            "  <spu start=\"" + Timecode(kSubtitleStart) + "\" end=\"" + Timecode(kSubtitleEnd) + "\" image=\"" +
                work + "/subtitle.png\" xoffset=\"180\" yoffset=\"480\"/>\n"
            "</stream></subpictures>\n");
  Run("cd " + Quote(work) + " && VIDEO_FORMAT=PAL spumux -s 0 subtitle.xml <" + Quote(source) + " >" + Quote(target),
      work + "/spumux.log");
}

std::string Project(const std::string& work, const std::string& discFolder) {
  const auto vob = [&](const char* name, const char* chapters) {
    return "      <vob file=\"" + work + "/" + name + "\" chapters=\"" + chapters + "\"/>\n";
  };
  return "<dvdauthor dest=\"" + discFolder + "\">\n  <vmgm/>\n"
         "  <titleset><titles>\n"
         "    <video format=\"pal\" aspect=\"4:3\"/>\n"
         "    <audio format=\"ac3\" lang=\"en\"/>\n    <audio format=\"ac3\" lang=\"de\"/>\n"
         "    <subpicture lang=\"en\"/>\n"
         "    <pgc>\n" + vob("title1.mpg", "0,1.2,2.4") + "    </pgc>\n"
         "    <pgc>\n" + vob("title2a.mpg", "0") + vob("title2b.mpg", "0") + "    </pgc>\n"
         "  </titles></titleset>\n"
         "  <titleset><titles>\n"
         "    <video format=\"ntsc\" aspect=\"4:3\"/>\n"
         "    <audio format=\"mp2\" lang=\"fr\"/>\n"
         "    <pgc>\n" + vob("title3.mpg", "0,1.2") + "    </pgc>\n"
         "  </titles></titleset>\n"
         "</dvdauthor>\n";
}

}  // namespace

void AuthorDisc(const std::string& work, const std::string& discFolder) {
  test_media::WriteMedia(PalSource(3.0), work + "/title1_plain.mpg");
  AddSubtitle(work, work + "/title1_plain.mpg", work + "/title1.mpg");
  test_media::WriteMedia(PalSource(1.8), work + "/title2a.mpg");
  test_media::WriteMedia(PalSource(1.2), work + "/title2b.mpg");
  test_media::WriteMedia(NtscSource(2.4), work + "/title3.mpg");
  WriteText(work + "/dvd.xml", Project(work, discFolder));
  Run("cd " + Quote(work) + " && VIDEO_FORMAT=PAL dvdauthor -x dvd.xml", work + "/dvdauthor.log");
}

}  // namespace test_dvd
