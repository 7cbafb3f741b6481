#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "engine/face/MediaEngine.h"
#include "frontend/DestinationPath.h"
#include "frontend/FileJob.h"
#include "frontend/FormatChoices.h"
#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"
#include "frontend/TaskBuilder.h"
#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "testmedia/MediaWriter.h"
#include "testmedia/TestMedia.h"
#include "picture/PixelFormats.h"
#include "support/CatalogueConversion.h"
#include "support/DecodedFrames.h"
#include "support/TempHome.h"

namespace {

using test_media::Kind;

// What each display name announces: container (demuxer and brand), codecs and
// frame size of the format's default choices.
struct Expected {
  int code;
  const char* demuxer;
  const char* brand;  // major brand of MP4-family files; "" where there is none
  const char* video;  // "" for audio formats
  int width, height;
  const char* audio;
};

constexpr const char* kMov = "mov,mp4,m4a,3gp,3g2,mj2";
constexpr const char* kMatroska = "matroska,webm";

const Expected kFormats[] = {
    {0, kMov, "M4V ", "h264", 480, 320, "aac"},       {1, kMov, "M4V ", "h264", 480, 272, "aac"},
    {2, kMov, "M4V ", "h264", 480, 320, "aac"},       {3, kMov, "M4V ", "h264", 720, 480, "aac"},
    {4, kMov, "M4V ", "h264", 720, 576, "aac"},       {100, kMov, "isom", "mpeg4", 480, 320, "aac"},
    {200, kMov, "3gp4", "h263", 176, 144, "aac"},     {201, kMov, "3gp4", "mpeg4", 176, 144, "aac"},
    {202, kMov, "3g2a", "h263", 176, 144, "aac"},     {203, kMov, "3g2a", "mpeg4", 176, 144, "aac"},
    {204, kMov, "isom", "mpeg4", 320, 240, "aac"},    {205, kMov, "isom", "mpeg4", 320, 240, "aac"},
    {300, kMov, "isom", "mpeg4", 320, 240, "aac"},    {400, kMov, "isom", "mpeg4", 320, 240, "aac"},
    {500, "asf", "", "wmv2", 320, 240, "wmav2"},      {501, "asf", "", "wmv2", 640, 480, "wmav2"},
    {502, "asf", "", "wmv2", 240, 180, "wmav2"},      {503, "asf", "", "wmv2", 320, 240, "wmav2"},
    {504, "asf", "", "wmv2", 640, 480, "wmav2"},      {505, "asf", "", "wmv2", 320, 240, "wmav2"},
    {506, "asf", "", "wmv2", 640, 480, "wmav2"},      {507, "asf", "", "wmv2", 320, 240, "wmav2"},
    {600, "mpeg", "", "mpeg1video", 352, 240, "mp2"}, {601, "mpeg", "", "mpeg2video", 720, 480, "ac3"},
    {602, kMov, "isom", "mpeg4", 640, 480, "aac"},    {603, kMov, "isom", "h264", 640, 480, "aac"},
    {604, "avi", "", "mpeg4", 640, 480, "mp3"},       {605, "asf", "", "wmv2", 640, 480, "wmav2"},
    {606, "avi", "", "mpeg4", 640, 480, "mp3"},       {607, "avi", "", "mpeg4", 640, 480, "mp3"},
    {608, "dv", "", "dvvideo", 720, 480, "pcm_s16le"}, {609, "dv", "", "dvvideo", 720, 576, "pcm_s16le"},
    {700, "mp3", "", "", 0, 0, "mp3"},                {701, "aac", "", "", 0, 0, "aac"},
    {702, kMov, "M4A ", "", 0, 0, "aac"},             {703, "asf", "", "", 0, 0, "wmav2"},
    {704, "wav", "", "", 0, 0, "pcm_s16le"},          {705, "ogg", "", "", 0, 0, "vorbis"},
    {706, "ac3", "", "", 0, 0, "ac3"},
    // Today's formats: "as source" sizes; the archive copies the clip's sound.
    {800, kMov, "isom", "h264", 320, 240, "aac"},     {801, kMov, "isom", "h264", 320, 240, "aac"},
    {802, kMov, "isom", "hevc", 320, 240, "aac"},     {900, kMov, "isom", "h264", 320, 240, "aac"},
    {901, kMov, "isom", "hevc", 320, 240, "aac"},     {1000, kMatroska, "", "vp9", 320, 240, "opus"},
    {1001, kMatroska, "", "av1", 320, 240, "opus"},   {1100, kMatroska, "", "h264", 320, 240, "aac"},
    {1101, kMatroska, "", "hevc", 320, 240, "aac"},   {1200, "ogg", "", "", 0, 0, "opus"},
    {1201, "flac", "", "", 0, 0, "flac"},
};

void PrintTo(const Expected& expected, std::ostream* os) { *os << "format " << expected.code; }

class EveryFormat : public ::testing::TestWithParam<Expected> {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }
};

// A 2 s 320x240 clip converted with the format's defaults, letterboxed as a job
// that was added and started without changes.
TEST_P(EveryFormat, ConvertsAClipAsItsNameAnnounces) {
  const Expected& expected = GetParam();
  Conversion conversion(expected.code);
  const std::string output = conversion.Run(test_media::Path(Kind::Clip320), TFileJob{});
  ASSERT_FALSE(output.empty()) << format_catalogue::FormatName(expected.code) << ": " << conversion.error();
  const Described file = Describe(output);
  EXPECT_EQ(file.demuxer, expected.demuxer);
  EXPECT_EQ(file.brand, expected.brand);
  EXPECT_EQ(file.videoCodec, expected.video);
  EXPECT_EQ(file.width, expected.width);
  EXPECT_EQ(file.height, expected.height);
  EXPECT_EQ(file.audioCodec, expected.audio);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryFormat, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

// 10-bit H.264 sources, 4:2:0 and 4:2:2 (as HDR phones and cameras record),
// 8-bit 4:4:4, 12-bit 4:2:0 and 4:2:0 with alpha (lossless FFV1, as editors
// export) convert with every video format and come out 8-bit 4:2:0, which
// every device plays (DV for NTSC keeps its own 4:1:1).
class EveryVideoFormat : public EveryFormat {};

TEST_P(EveryVideoFormat, ConvertsTenBitSourcesToEightBits) {
  const Expected& expected = GetParam();
  TempHome home;
  struct Source {
    AVPixelFormat format;
    const char *encoder, *muxer, *name;
  };
  for (const Source& deep : {Source{AV_PIX_FMT_YUV420P10LE, "libx264", "mp4", "deep.mp4"},
                             Source{AV_PIX_FMT_YUV422P10LE, "libx264", "mp4", "deep.mp4"},
                             Source{AV_PIX_FMT_YUV444P, "libx264", "mp4", "deep.mp4"},
                             Source{AV_PIX_FMT_YUV420P12LE, "ffv1", "matroska", "deep.mkv"},
                             Source{AV_PIX_FMT_YUVA420P, "ffv1", "matroska", "alpha.mkv"}}) {
    SCOPED_TRACE(media::av_get_pix_fmt_name(deep.format));
    test_media::MediaSpec spec;
    spec.muxer = deep.muxer;
    spec.video = test_media::VideoSpec{.encoder = deep.encoder, .width = 192, .height = 108, .pixelFormat = deep.format};
    spec.audio = test_media::AudioSpec{.encoder = "aac"};
    spec.seconds = 0.5;
    const std::string source = home.file(deep.name);
    test_media::WriteMedia(spec, source);
    Conversion conversion(expected.code);
    const std::string output = conversion.Run(source, TFileJob{});
    ASSERT_FALSE(output.empty()) << conversion.error();
    int format = AV_PIX_FMT_NONE, frames = 0;
    ForEachDecodedFrame(output, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
      format = frame.format;
      ++frames;
    });
    EXPECT_GE(frames, 5);
    if (expected.code != 608) {
      EXPECT_TRUE(IsEightBit420(AVPixelFormat(format))) << media::av_get_pix_fmt_name(AVPixelFormat(format));
    }
  }
}

std::vector<Expected> VideoFormats() {
  std::vector<Expected> video;
  for (const Expected& format : kFormats)
    if (*format.video) video.push_back(format);
  return video;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryVideoFormat, ::testing::ValuesIn(VideoFormats()),
                         [](const auto& info) { return "Code" + std::to_string(info.param.code); });

TEST(EveryFormatList, CoversTheWholeCatalogue) {
  const auto all = format_catalogue::AllFormats();
  ASSERT_EQ(all.size(), std::size(kFormats));
  for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i].code, kFormats[i].code);
}

// Mean luma of each row of the middle picture of a converted file.
std::vector<double> RowBrightness(const std::string& path) {
  std::vector<std::vector<double>> pictures;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    std::vector<double> rows;
    for (int y = 0; y < frame.height; ++y) {
      double sum = 0;
      for (int x = 0; x < frame.width; ++x) sum += frame.data[0][std::ptrdiff_t(y) * frame.linesize[0] + x];
      rows.push_back(sum / frame.width);
    }
    pictures.push_back(rows);
  });
  return pictures.empty() ? std::vector<double>{} : pictures[pictures.size() / 2];
}

class RealOutput : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }
};

// 320x240 MPEG-4 in MP4 (format 204): a 16:9 PAL picture shows 320x180 between
// two 30-line bars, a 4:3 one fills the frame; both with square pixels.
TEST_F(RealOutput, AnamorphicSourcesLetterboxedOnTheirDisplayShape) {
  const struct {
    Kind source;
    int firstPictureRow, lastPictureRow;
  } cases[] = {{Kind::WidePal, 30, 209}, {Kind::DvdPalMpeg2Ac3, 0, 239}};
  for (const auto& c : cases) {
    Conversion conversion(204);
    const std::string output = conversion.Run(test_media::Path(c.source), TFileJob{});
    ASSERT_FALSE(output.empty()) << conversion.error();
    const Described file = Describe(output);
    EXPECT_EQ(file.width, 320);
    EXPECT_EQ(file.height, 240);
    EXPECT_EQ(file.pixelAspect.num, file.pixelAspect.den) << file.pixelAspect.num << "/" << file.pixelAspect.den;
    const std::vector<double> rows = RowBrightness(output);
    ASSERT_EQ(rows.size(), 240u);
    for (int y = 0; y < 240; ++y) {
      const bool picture = y >= c.firstPictureRow && y <= c.lastPictureRow;
      const bool nearEdge = std::abs(y - c.firstPictureRow) <= 2 || std::abs(y - c.lastPictureRow) <= 2;
      if (nearEdge) continue;  // the encoder blurs the edge of a bar
      if (picture) EXPECT_GT(rows[size_t(y)], 40) << "row " << y;
      else EXPECT_LT(rows[size_t(y)], 20) << "row " << y;
    }
  }
}

// A pan and scan of a 16:9 picture keeps its middle 4:3 and fills the frame.
TEST_F(RealOutput, PanAndScanOfAWidePictureFillsTheFrame) {
  Conversion conversion(204);
  const std::string output = conversion.Run(test_media::Path(Kind::WidePal), TFileJob{.ZoomMode = "pan"});
  ASSERT_FALSE(output.empty()) << conversion.error();
  const Described file = Describe(output);
  EXPECT_EQ(file.width, 320);
  EXPECT_EQ(file.pixelAspect.num, file.pixelAspect.den);
  const std::vector<double> rows = RowBrightness(output);
  ASSERT_EQ(rows.size(), 240u);
  EXPECT_GT(rows.front(), 40);
  EXPECT_GT(rows.back(), 40);
}

// The trim of a job: 0.5 s from 1 s into the source.
TEST_F(RealOutput, TrimmedJobConvertsItsPart) {
  Conversion conversion(204);
  const std::string output =
      conversion.Run(test_media::Path(Kind::Clip320), TFileJob{.TrimStart = 1000000, .TrimLength = 500000});
  ASSERT_FALSE(output.empty()) << conversion.error();
  TMediaProbe probe;
  ASSERT_TRUE(probe.LoadFile(output));
  EXPECT_NEAR(double(probe.FileStreamInfo().Duration), 500000, 120000);
}

}  // namespace
