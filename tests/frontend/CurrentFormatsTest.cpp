// The formats for today's devices, checked in the files they write: the
// profile and tag the devices play, the index at the front of MP4 files, the
// source's frame rate and shape, and constant-quality encoding.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>

#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"
#include "media/MediaLoader.h"
#include "support/CatalogueConversion.h"
#include "support/DecodedFrames.h"
#include "testmedia/MediaWriter.h"
#include "testmedia/Telecine.h"
#include "testmedia/TestMedia.h"

namespace {

using test_media::Kind;

// A short H.264 + AAC clip of the given size and rate in the conversion's home.
std::string WriteClip(const Conversion& conversion, int width, int height, AVRational rate, double seconds = 0.4) {
  test_media::MediaSpec spec;
  spec.muxer = "mp4";
  spec.video = test_media::VideoSpec{.encoder = "libx264", .width = width, .height = height, .frameRate = rate};
  spec.audio = test_media::AudioSpec{.encoder = "aac"};
  spec.seconds = seconds;
  const std::string path = conversion.home().file("source.mp4");
  test_media::WriteMedia(spec, path);
  return path;
}

void Store(int code, const char* key, const std::string& value) {
  IniFile settings(platform_paths::SettingsFilePath());
  settings.writeString("formatInfo" + std::to_string(code), key, value);
}

// The offsets of the top-level boxes "moov" and "mdat"; -1 for a missing one.
std::pair<std::int64_t, std::int64_t> IndexAndDataOffsets(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  std::int64_t moov = -1, mdat = -1;
  for (std::size_t at = 0; at + 8 <= bytes.size();) {
    std::uint64_t size = 0;
    for (int i = 0; i < 4; ++i) size = (size << 8) | std::uint8_t(bytes[at + i]);
    const std::string type = bytes.substr(at + 4, 4);
    if (type == "moov") moov = std::int64_t(at);
    if (type == "mdat") mdat = std::int64_t(at);
    if (size < 8) break;
    at += size;
  }
  return {moov, mdat};
}

double Rate(const Described& file) { return file.frameRate.den ? av_q2d(file.frameRate) : 0; }

// Decoded pictures over the time from the first to the last.
double PicturesPerSecond(const std::string& path) {
  int pictures = 0;
  double first = -1, last = 0;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame&, double seconds) {
    if (first < 0) first = seconds;
    last = seconds;
    ++pictures;
  });
  return pictures > 1 ? (pictures - 1) / (last - first) : 0;
}

class CurrentFormats : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }
};

struct DeviceFormat {
  int code;
  const char *codec, *profile, *tag;
};

// Phones and TVs: H.264 High or HEVC Main tagged hvc1 (which Apple players
// require), the index ahead of the data so playing starts while loading, and
// the source's 50 pictures a second kept.
TEST_F(CurrentFormats, PhoneAndTvFilesCarryTheProfileTagAndIndexDevicesNeed) {
  for (const DeviceFormat& format : {DeviceFormat{800, "h264", "High", "avc1"}, DeviceFormat{802, "hevc", "Main", "hvc1"},
                                     DeviceFormat{900, "h264", "High", "avc1"}, DeviceFormat{901, "hevc", "Main", "hvc1"}}) {
    SCOPED_TRACE(format.code);
    Conversion conversion(format.code);
    const std::string output = conversion.Run(WriteClip(conversion, 640, 360, {50, 1}), TFileJob{});
    ASSERT_FALSE(output.empty()) << conversion.error();
    const Described file = Describe(output);
    EXPECT_EQ(file.videoCodec, format.codec);
    EXPECT_EQ(file.videoProfile, format.profile);
    EXPECT_EQ(file.videoTag, format.tag);
    EXPECT_EQ(file.width, 640);
    EXPECT_EQ(file.height, 360);
    EXPECT_NEAR(Rate(file), 50, 0.01);
    EXPECT_EQ(file.audioCodec, "aac");
    const auto [moov, mdat] = IndexAndDataOffsets(output);
    EXPECT_GE(moov, 0);
    EXPECT_LT(moov, mdat) << "the index follows the data";
  }
}

// "as source": a film stays 23.976 (also when stored telecined at 29.97), a
// PAL DVD 25 and its 4:3 picture is shown
// in square pixels; 120 pictures a second stop at 60; a picture larger than
// the format's frame is fitted into it.
TEST_F(CurrentFormats, AsSourceKeepsRateAndShapeWithinTheFormatsLimits) {
  {
    Conversion conversion(800);
    const Described film = Describe(conversion.Run(WriteClip(conversion, 320, 240, {24000, 1001}), TFileJob{}));
    EXPECT_NEAR(Rate(film), 24000.0 / 1001, 0.001);
  }
  {
    Conversion conversion(1100);
    const Described dvd = Describe(conversion.Run(test_media::Path(Kind::DvdPalMpeg2Ac3), TFileJob{}));
    EXPECT_NEAR(Rate(dvd), 25, 0.01);
    EXPECT_EQ(dvd.width, 768);
    EXPECT_EQ(dvd.height, 576);
    EXPECT_TRUE(dvd.pixelAspect.num == dvd.pixelAspect.den || dvd.pixelAspect.num == 0);
    EXPECT_EQ(dvd.audioCodec, "ac3") << "the archive copies the sound";
  }
  for (const bool soft : {true, false}) {
    SCOPED_TRACE(soft ? "soft telecine" : "hard telecine");
    Conversion conversion(1100);
    const std::string source = conversion.home().file("film.mpg");
    test_media::WriteMedia(soft ? test_media::SoftTelecineSpec(2) : test_media::HardTelecineSpec(2), source);
    EXPECT_NEAR(PicturesPerSecond(conversion.Run(source, TFileJob{})), 24000.0 / 1001, 0.5)
        << "film stored at 29.97 comes out as film";
  }
  {
    Conversion conversion(1000);
    const Described fast = Describe(conversion.Run(WriteClip(conversion, 320, 240, {120, 1}, 0.3), TFileJob{}));
    EXPECT_NEAR(Rate(fast), 60, 0.01);
  }
  {
    Conversion conversion(800);
    const Described large = Describe(conversion.Run(WriteClip(conversion, 1920, 1080, {25, 1}, 0.2), TFileJob{}));
    EXPECT_EQ(large.width, 1280);
    EXPECT_EQ(large.height, 720);
  }
}

// A file into the archive keeps every sound track, copied unchanged, in the
// file's order; a real clip's DVD subtitles become a subtitle track there and
// are left out of WebM; sound Matroska cannot hold unchanged is kept in FLAC.
TEST_F(CurrentFormats, ArchiveKeepsEveryTrackOfAFile) {
  Conversion conversion(1100);
  test_media::MediaSpec spec;
  spec.muxer = "matroska";
  spec.video = test_media::VideoSpec{.encoder = "libx264", .width = 320, .height = 240};
  spec.audio = test_media::AudioSpec{.encoder = "aac", .toneHz = 440};
  spec.moreAudio = {test_media::AudioSpec{.encoder = "libmp3lame", .toneHz = 880}};
  spec.seconds = 0.5;
  const std::string source = conversion.home().file("two-tracks.mkv");
  test_media::WriteMedia(spec, source);
  const std::string output = conversion.Run(source, TFileJob{});
  ASSERT_FALSE(output.empty()) << conversion.error();
  const Described file = Describe(output);
  EXPECT_EQ(file.audioStreams, 2);
  EXPECT_EQ(file.audioCodec, "aac");

  const std::string sample = std::string(OXBEL_SHARED_MEDIA) + "/sample_with_vobsub.mkv";
  if (!std::filesystem::exists(sample)) GTEST_SKIP() << "no sample media";
  const std::string subtitled = conversion.Run(sample, TFileJob{});
  ASSERT_FALSE(subtitled.empty()) << conversion.error();
  EXPECT_EQ(Describe(subtitled).subtitleCodec, "dvd_subtitle");
  // A phone's AMR sound, which Matroska cannot hold unchanged, is kept in FLAC.
  const std::string amr = conversion.Run(std::string(OXBEL_SHARED_MEDIA) + "/fixture.3gp", TFileJob{});
  ASSERT_FALSE(amr.empty()) << conversion.error();
  EXPECT_EQ(Describe(amr).audioCodec, "flac");
  // The web's WebM takes no picture subtitles: the clip converts without them.
  Conversion web(1000);
  const std::string webm = web.Run(sample, TFileJob{});
  ASSERT_FALSE(webm.empty()) << web.error();
  EXPECT_EQ(Describe(webm).subtitleCodec, "");
}

// A stored quality level reaches the encoder as its constant-quality setting
// with no bit rate: x264 records it in its settings, and VP9's size follows
// the level.
TEST_F(CurrentFormats, QualityLevelsEncodeAtConstantQuality) {
  {
    Conversion conversion(800);
    Store(800, "paraVideoBitRate", "Quality 30");
    const std::string output = conversion.Run(WriteClip(conversion, 320, 240, {25, 1}), TFileJob{});
    ASSERT_FALSE(output.empty()) << conversion.error();
    const std::string bytes = ReadFileBytes(output);
    EXPECT_NE(bytes.find("rc=crf"), std::string::npos);
    EXPECT_NE(bytes.find("crf=30.0"), std::string::npos);
  }
  std::int64_t sizes[2] = {};
  for (int level : {15, 50}) {
    Conversion conversion(1000);
    Store(1000, "paraVideoBitRate", "Quality " + std::to_string(level));
    Store(1000, "paraAudioEncoder", "");
    const std::string output = conversion.Run(WriteClip(conversion, 320, 240, {25, 1}), TFileJob{});
    ASSERT_FALSE(output.empty()) << conversion.error();
    sizes[level == 50] = std::int64_t(ReadFileBytes(output).size());
  }
  EXPECT_GT(sizes[0], 2 * sizes[1]) << "finer quality, larger file";
}

}  // namespace
