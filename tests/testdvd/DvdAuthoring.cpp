#include "DvdAuthoring.h"

#include <cstdio>
#include <filesystem>

#include "FlashBeep.h"
#include "IfoBytes.h"
#include "InterlacedBar.h"
#include "MediaWriter.h"
#include "Recipes.h"
#include "Shell.h"
#include "SubtitlePicture.h"
#include "Telecine.h"
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

// spumux's time form, 00:00:SS.ss, for times under a minute.
std::string Timecode(double seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "00:00:%05.2f", seconds);
  return text;
}

// A subpicture stream of one box picture shown from `start` to `end`.
struct Overlay {
  int stream;
  Box box;
  double start, end;
};

// Adds the overlay to the program stream `source` with spumux, into `target`.
void AddSubtitle(const std::string& work, const Overlay& overlay, const std::string& source, const std::string& target) {
  const std::string name = "subtitle" + std::to_string(overlay.stream);
  WriteSubtitlePicture(work + "/" + name + ".png", overlay.box.width, overlay.box.height);
  WriteFile(work + "/" + name + ".xml",
            "<subpictures format=\"PAL\"><stream>\n"
            "  <spu start=\"" + Timecode(overlay.start) + "\" end=\"" + Timecode(overlay.end) + "\" image=\"" + work +
                "/" + name + ".png\" xoffset=\"" + std::to_string(overlay.box.x) + "\" yoffset=\"" +
                std::to_string(overlay.box.y) + "\"/>\n"
            "</stream></subpictures>\n");
  Run("cd " + Quote(work) + " && VIDEO_FORMAT=PAL spumux -s " + std::to_string(overlay.stream) + " " + name + ".xml <" +
          Quote(source) + " >" + Quote(target),
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

// The WideSubtitles title's source: small 16:9 PAL pictures (sample aspect
// 16:11), English AC-3. A constant rate (the encoder stuffs its easy pictures
// up to the minimum) puts the first subtitle far beyond the 5 MB the demuxer
// reads for the stream information, as on a real disc.
MediaSpec WideSource() {
  MediaSpec spec = test_media::Recipe(test_media::Kind::DvdPalMpeg2Ac3);
  spec.seconds = kLateTitleSeconds;
  spec.video->width = kWideWidth;
  spec.video->height = kWideHeight;
  spec.video->sampleAspect = {16, 11};
  spec.video->bitRate = 2500000;
  spec.video->options = {{"minrate", "2500000"}};
  spec.audio->toneHz = kEnglishHz;
  return spec;
}

// A disc of one PAL title with English AC-3: the title set's video line and
// subpicture lines, the title the VOB `vob` in work.
std::string OneTitleProject(const std::string& work, const std::string& discFolder, const std::string& video,
                            const std::string& subpictures, const std::string& vob, const std::string& chapters) {
  return "<dvdauthor dest=\"" + discFolder + "\">\n  <vmgm/>\n"
         "  <titleset><titles>\n" + video +
         "    <audio format=\"ac3\" lang=\"en\"/>\n" + subpictures +
         "    <pgc>\n      <vob file=\"" + work + "/" + vob + "\" chapters=\"" + chapters + "\"/>\n    </pgc>\n"
         "  </titles></titleset>\n"
         "</dvdauthor>\n";
}

// Both tracks are 16:9 streams ("widescreen" mode) of their own.
std::string WideProject(const std::string& work, const std::string& discFolder) {
  return OneTitleProject(work, discFolder,
                         "    <video format=\"pal\" aspect=\"16:9\" resolution=\"352x288\" widescreen=\"nopanscan\"/>\n",
                         "    <subpicture lang=\"en\"><stream id=\"0\" mode=\"widescreen\"/></subpicture>\n"
                         "    <subpicture lang=\"de\"><stream id=\"1\" mode=\"widescreen\"/></subpicture>\n",
                         "wide.mpg", "0,10,20");
}

// The TwoSubtitles title's source: small 4:3 PAL pictures with both AC-3 tracks.
MediaSpec TwoSubtitlesSource() {
  MediaSpec spec = PalSource(kTwoSubtitlesSeconds);
  spec.video->width = kWideWidth;
  spec.video->height = kWideHeight;
  spec.video->sampleAspect = {12, 11};
  return spec;
}

std::string TwoSubtitlesProject(const std::string& work, const std::string& discFolder) {
  return "<dvdauthor dest=\"" + discFolder + "\">\n  <vmgm/>\n"
         "  <titleset><titles>\n"
         "    <video format=\"pal\" aspect=\"4:3\" resolution=\"352x288\"/>\n"
         "    <audio format=\"ac3\" lang=\"en\"/>\n    <audio format=\"ac3\" lang=\"de\"/>\n"
         "    <subpicture lang=\"en\"/>\n    <subpicture lang=\"de\"/>\n"
         "    <pgc>\n      <vob file=\"" + work + "/two.mpg\" chapters=\"0,1.2,2.4\"/>\n    </pgc>\n"
         "  </titles></titleset>\n"
         "</dvdauthor>\n";
}

// The Interlaced disc's title: the interlaced bar in PAL with English AC-3.
MediaSpec InterlacedSource() {
  MediaSpec spec = test_media::Recipe(test_media::Kind::DvdPalMpeg2Ac3);
  spec.seconds = kInterlacedTitleSeconds;
  spec.video->bitRate = 8000000;
  spec.video->options = {{"flags", "+ildct+ilme"}};
  spec.video->draw = [](AVFrame& frame, std::int64_t index) { test_media::DrawInterlacedBar(frame, index, true); };
  spec.audio->toneHz = kEnglishHz;
  return spec;
}

std::string InterlacedProject(const std::string& work, const std::string& discFolder) {
  return OneTitleProject(work, discFolder, "    <video format=\"pal\" aspect=\"4:3\"/>\n", "", "interlaced.mpg",
                         "0");
}

// Film titles in one NTSC title set, the flash-and-beep clip in another (its
// pictures are smaller and its sound MPEG audio).
std::string FilmProject(const std::string& work, const std::string& discFolder) {
  const auto pgc = [&](const char* name) {
    return "    <pgc>\n      <vob file=\"" + work + "/" + name + "\" chapters=\"0\"/>\n    </pgc>\n";
  };
  return "<dvdauthor dest=\"" + discFolder + "\">\n  <vmgm/>\n"
         "  <titleset><titles>\n"
         "    <video format=\"ntsc\" aspect=\"4:3\"/>\n    <audio format=\"ac3\" lang=\"en\"/>\n" +
         pgc("soft.mpg") + pgc("hard.mpg") +
         "  </titles></titleset>\n"
         "  <titleset><titles>\n"
         "    <video format=\"ntsc\" aspect=\"4:3\" resolution=\"352x240\"/>\n    <audio format=\"mp2\" lang=\"en\"/>\n" +
         pgc("flashbeep.mpg") +
         "  </titles></titleset>\n"
         "</dvdauthor>\n";
}

}  // namespace

void AuthorFilmDisc(const std::string& work, const std::string& discFolder) {
  std::filesystem::create_directories(work);
  test_media::WriteMedia(test_media::SoftTelecineSpec(kFilmTitleSeconds), work + "/soft.mpg");
  test_media::WriteMedia(test_media::HardTelecineSpec(kFilmTitleSeconds), work + "/hard.mpg");
  MediaSpec flashBeep = test_media::FlashBeepSpec(test_media::FlashBeepKind::Ntsc2997, kFlashBeepTitleSeconds);
  flashBeep.muxer = "dvd";
  flashBeep.muxerOptions = test_media::Recipe(test_media::Kind::DvdNtscMpeg2Ac3).muxerOptions;
  test_media::WriteMedia(flashBeep, work + "/flashbeep.mpg");
  WriteFile(work + "/dvd.xml", FilmProject(work, discFolder));
  Run("cd " + Quote(work) + " && VIDEO_FORMAT=NTSC dvdauthor -x dvd.xml", work + "/dvdauthor.log");
}

void AuthorInterlacedDisc(const std::string& work, const std::string& discFolder) {
  std::filesystem::create_directories(work);
  test_media::WriteMedia(InterlacedSource(), work + "/interlaced.mpg");
  WriteFile(work + "/dvd.xml", InterlacedProject(work, discFolder));
  Run("cd " + Quote(work) + " && VIDEO_FORMAT=PAL dvdauthor -x dvd.xml", work + "/dvdauthor.log");
}

void AuthorDisc(const std::string& work, const std::string& discFolder) {
  test_media::WriteMedia(PalSource(3.0), work + "/title1_plain.mpg");
  const Overlay subtitle{0, {180, 480, kSubtitleWidth, kSubtitleHeight}, kSubtitleStart, kSubtitleEnd};
  AddSubtitle(work, subtitle, work + "/title1_plain.mpg", work + "/title1.mpg");
  test_media::WriteMedia(PalSource(1.8), work + "/title2a.mpg");
  test_media::WriteMedia(PalSource(1.2), work + "/title2b.mpg");
  test_media::WriteMedia(NtscSource(2.4), work + "/title3.mpg");
  WriteFile(work + "/dvd.xml", Project(work, discFolder));
  Run("cd " + Quote(work) + " && VIDEO_FORMAT=PAL dvdauthor -x dvd.xml", work + "/dvdauthor.log");
}

void AuthorTwoSubtitlesDisc(const std::string& work, const std::string& discFolder) {
  std::filesystem::create_directories(work);
  test_media::WriteMedia(TwoSubtitlesSource(), work + "/plain.mpg");
  AddSubtitle(work, {0, kTopBox, kEnglishSubtitle.start, kEnglishSubtitle.end}, work + "/plain.mpg", work + "/top.mpg");
  AddSubtitle(work, {1, kBottomBox, kGermanSubtitle.start, kGermanSubtitle.end}, work + "/top.mpg", work + "/two.mpg");
  WriteFile(work + "/dvd.xml", TwoSubtitlesProject(work, discFolder));
  Run("cd " + Quote(work) + " && VIDEO_FORMAT=PAL dvdauthor -x dvd.xml", work + "/dvdauthor.log");
}

void AuthorWideSubtitleDisc(const std::string& work, const std::string& discFolder) {
  std::filesystem::create_directories(work);
  test_media::WriteMedia(WideSource(), work + "/plain.mpg");
  AddSubtitle(work, {0, kTopBox, kLateSubtitleStart, kLateSubtitleEnd}, work + "/plain.mpg", work + "/top.mpg");
  AddSubtitle(work, {1, kBottomBox, kLateSubtitleStart, kLateSubtitleEnd}, work + "/top.mpg", work + "/wide.mpg");
  WriteFile(work + "/dvd.xml", WideProject(work, discFolder));
  Run("cd " + Quote(work) + " && VIDEO_FORMAT=PAL dvdauthor -x dvd.xml", work + "/dvdauthor.log");
}

}  // namespace test_dvd
