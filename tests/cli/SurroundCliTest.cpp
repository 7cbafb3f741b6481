// The TV formats keep a 5.1 AC-3 track beside the converted stereo one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "support/RunCli.h"
#include "support/TempHome.h"
#include "testmedia/MediaWriter.h"
#include "testmedia/Recipes.h"

namespace {

struct Sound {
  std::string codec;
  int channels;
  bool operator==(const Sound&) const = default;
};

std::vector<Sound> SoundOf(const std::string& path) {
  std::vector<Sound> tracks;
  AVFormatContext* input = nullptr;
  if (media::avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return tracks;
  media::avformat_find_stream_info(input, nullptr);
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVCodecParameters* stream = input->streams[i]->codecpar;
    if (stream->codec_type == AVMEDIA_TYPE_AUDIO)
      tracks.push_back({media::avcodec_get_name(stream->codec_id), stream->ch_layout.nb_channels});
  }
  media::avformat_close_input(&input);
  return tracks;
}

// A one-second clip with AC-3 sound of the given channels.
std::string Clip(const TempHome& home, const char* name, int channels) {
  test_media::MediaSpec spec = test_media::Recipe(test_media::Kind::Mkv);
  spec.seconds = 1;
  spec.video->width = 160;
  spec.video->height = 120;
  spec.audio = test_media::AudioSpec{.encoder = "ac3", .sampleRate = 48000, .channels = channels};
  const std::string path = home.file(name);
  test_media::WriteMedia(spec, path);
  return path;
}

TEST(SurroundCli, TvFormatCopiesSurroundSoundBesideTheStereoTrack) {
  ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
  TempHome home;
  const std::string folder = home.file("tv");
  const std::string surround = Clip(home, "surround.mkv", 6), stereo = Clip(home, "stereo.mkv", 2);
  const CliRun run = RunCli("convert --format 900 -d '" + folder + "' '" + surround + "' '" + stereo + "'");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(SoundOf(folder + "/surround_(new).mp4"), (std::vector<Sound>{{"aac", 2}, {"ac3", 6}}));
  EXPECT_EQ(SoundOf(folder + "/stereo_(new).mp4"), (std::vector<Sound>{{"aac", 2}}));
  // The phone formats keep only the converted track.
  ASSERT_EQ(RunCli("convert --format 800 -d '" + folder + "' '" + surround + "'").exitCode, 0);
  EXPECT_EQ(SoundOf(folder + "/surround_(new_1).mp4").size(), 1u);
}

}  // namespace
