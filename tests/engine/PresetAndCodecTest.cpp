#include <filesystem>
#include <fstream>
#include <set>

#include "engine/options/CodecLookup.h"
#include "engine/options/Presets.h"
#include "media/MediaUtils.h"
#include "OptionTestSupport.h"

namespace {

// The profile_idc and level_idc of the first sequence parameter set in
// Annex B extradata; {-1, -1} when there is none.
std::pair<int, int> SpsProfileAndLevel(const AVCodecContext* encoder) {
  const std::uint8_t* data = encoder->extradata;
  for (int i = 0; i + 6 < encoder->extradata_size; ++i)
    if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && (data[i + 3] & 0x1f) == 7)
      return {data[i + 4], data[i + 6]};
  return {-1, -1};
}

std::string CodecFailure(const std::string& name, AVMediaType kind, bool encoder,
                         int strictness = FF_COMPLIANCE_NORMAL) {
  try {
    FindCodecByName(name, kind, encoder, strictness);
  } catch (const EngineException& e) {
    return e.what();
  }
  return "";
}

std::string CodecName(const std::string& name, AVMediaType kind, bool encoder = true) {
  return FindCodecByName(name, kind, encoder, FF_COMPLIANCE_NORMAL)->name;
}

using CodecLookupTest = OptionTest;

TEST_F(CodecLookupTest, NamesAliasesAndFailures) {
  EXPECT_EQ(CodecFailure("nope", AVMEDIA_TYPE_VIDEO, true), "Unknown encoder 'nope'");
  EXPECT_EQ(CodecFailure("nope", AVMEDIA_TYPE_VIDEO, false), "Unknown decoder 'nope'");
  EXPECT_EQ(CodecFailure("libopencore_amrnb", AVMEDIA_TYPE_AUDIO, true), "Unknown encoder 'libopencore_amrnb'");
  EXPECT_EQ(CodecFailure("aac", AVMEDIA_TYPE_VIDEO, true), "Invalid encoder type 'aac'");
  EXPECT_EQ(CodecName("libfaac", AVMEDIA_TYPE_AUDIO), "aac");
  EXPECT_EQ(CodecName("vorbis", AVMEDIA_TYPE_AUDIO), "libvorbis");
  EXPECT_EQ(CodecName("vorbis", AVMEDIA_TYPE_AUDIO, false), "vorbis");
  EXPECT_EQ(CodecName("mp3", AVMEDIA_TYPE_AUDIO), "libmp3lame");
  EXPECT_EQ(CodecName("h264", AVMEDIA_TYPE_VIDEO), "libx264");
}

TEST_F(CodecLookupTest, ExperimentalEncoders) {
  EXPECT_EQ(CodecFailure("opus", AVMEDIA_TYPE_AUDIO, true),
            "encoder 'opus' is experimental and might produce bad results.\r\nAdd '-strict experimental' if you want "
            "to use it.\r\nOr use the non experimental encoder 'libopus'.");
  EXPECT_EQ(CodecFailure("sonic", AVMEDIA_TYPE_AUDIO, true),
            "encoder 'sonic' is experimental and might produce bad results.\r\nAdd '-strict experimental' if you want "
            "to use it.");
  EXPECT_EQ(CodecFailure("opus", AVMEDIA_TYPE_AUDIO, true, FF_COMPLIANCE_EXPERIMENTAL), "");
  options.generic.Set("astrict", "experimental");
  EXPECT_EQ(options.generic.Strictness(AVMEDIA_TYPE_AUDIO), FF_COMPLIANCE_EXPERIMENTAL);
  EXPECT_EQ(options.generic.Strictness(AVMEDIA_TYPE_VIDEO), FF_COMPLIANCE_NORMAL);
}

// The generic store.

using GenericOptionTest = OptionTest;

TEST_F(GenericOptionTest, LookupValidationAndLegacyNames) {
  auto& g = options.generic;
  EXPECT_EQ(g.Set("no_such_option", "1"), GenericOptions::Result::UnknownName);
  Apply("no_such_option", "1");  // ignored without a message
  EXPECT_EQ(g.Set("bf", "many"), GenericOptions::Result::InvalidValue);
  EXPECT_TRUE(Logged(llError, "Invalid value \"many\" for option \"bf\""));
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_VIDEO, "bf"), "");

  EXPECT_EQ(g.Set("flags2", "-wpred-dct8x8"), GenericOptions::Result::Stored);
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_VIDEO, "weightb"), "0");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_VIDEO, "8x8dct"), "0");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_VIDEO, "flags2"), "");
  g.Set("partitions", "+parti4x4-parti8x8+partp8x8");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_VIDEO, "partitions"), "i4x4,p8x8");
  g.Set("directpred", "1");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_VIDEO, "direct-pred"), "1");
  g.Set("flags", "+loop+mv4");
  g.Set("flags", "+aic");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_VIDEO, "flags"), "+mv4+aic");
  g.Set("flags", "+scan_offset");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_VIDEO, "scan_offset"), "1");

  g.Set("sws_flags", "lanczos");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_UNKNOWN, "sws_flags"), std::to_string(SWS_LANCZOS));
  g.Set("sws_flags", "+accurate_rnd");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_UNKNOWN, "sws_flags"), std::to_string(SWS_LANCZOS | SWS_ACCURATE_RND));
}

TEST_F(GenericOptionTest, CopiedOntoContextsOfTheirKindAndDirection) {
  auto& g = options.generic;
  Apply("b", "800000");
  Apply("ab", "96000");
  g.Set("flags", "+mv4");
  g.Set("me_method", "zero");
  g.Set("profile", "baseline");  // libx264's own option: nothing for mpeg4

  const AVCodec* mpeg4 = media::avcodec_find_encoder_by_name("mpeg4");
  AVCodecContext* encoder = media::avcodec_alloc_context3(mpeg4);
  encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  g.ApplyTo(encoder, AVMEDIA_TYPE_VIDEO, true);
  EXPECT_EQ(encoder->bit_rate, 800000);
  EXPECT_TRUE(encoder->flags & AV_CODEC_FLAG_4MV);
  EXPECT_TRUE(encoder->flags & AV_CODEC_FLAG_GLOBAL_HEADER);
  EXPECT_EQ(encoder->profile, FF_PROFILE_UNKNOWN);
  std::int64_t motion = -1;
  ASSERT_GE(media::av_opt_get_int(encoder, "motion_est", AV_OPT_SEARCH_CHILDREN, &motion), 0);
  EXPECT_EQ(motion, 0);
  media::avcodec_free_context(&encoder);

  AVCodecContext* decoder = media::avcodec_alloc_context3(media::avcodec_find_decoder(AV_CODEC_ID_MPEG4));
  g.ApplyTo(decoder, AVMEDIA_TYPE_VIDEO, false);
  EXPECT_NE(decoder->bit_rate, 800000);
  media::avcodec_free_context(&decoder);

  AVCodecContext* audio = media::avcodec_alloc_context3(media::avcodec_find_encoder_by_name("mp2"));
  g.ApplyTo(audio, AVMEDIA_TYPE_AUDIO, true);
  EXPECT_EQ(audio->bit_rate, 96000);
  media::avcodec_free_context(&audio);
}

TEST_F(GenericOptionTest, FormatOptionsReachTheMuxer) {
  Apply("target", "pal-dvd");
  AVFormatContext* dvd = nullptr;
  ASSERT_GE(media::avformat_alloc_output_context2(&dvd, nullptr, "dvd", nullptr), 0);
  options.generic.ApplyTo(dvd, true);
  EXPECT_EQ(dvd->packet_size, 2048u);
  std::int64_t muxRate = 0;
  ASSERT_GE(media::av_opt_get_int(dvd->priv_data, "muxrate", 0, &muxRate), 0);
  EXPECT_EQ(muxRate, 10080000);
  media::avformat_free_context(dvd);

  AVFormatContext* mp4 = nullptr;
  ASSERT_GE(media::avformat_alloc_output_context2(&mp4, nullptr, "mp4", nullptr), 0);
  options.generic.ApplyTo(mp4, true);  // no muxrate there: skipped
  EXPECT_EQ(mp4->packet_size, 2048u);
  media::avformat_free_context(mp4);
}

// Presets.

using PresetTest = OptionTest;

TEST_F(PresetTest, BuiltinTableIsCompleteAndAccepted) {
  std::set<std::string> names;
  for (const auto& preset : BuiltinPresets()) {
    SCOPED_TRACE(preset.name);
    names.insert(preset.name);
    TaskOptions fresh;
    EXPECT_NO_THROW(ApplyPresetText(fresh, preset.name, preset.text));
  }
  EXPECT_EQ(names.size(), 40u);
  // Validation tries the value on codecs that do not take it: no refusal may show.
  EXPECT_FALSE(Logged(llError, ""));
  for (const char* name : {"libx264-fastfirstpass", "libx264-slowfirstpass", "libx264-lossless_max",
                           "libx264-veryslow_firstpass", "libx264-ps3", "libx264-normal"})
    EXPECT_TRUE(names.count(name)) << name;
}

TEST_F(PresetTest, NameLookupOrder) {
  Apply("vcodec", "libx264");
  Apply("vpre", "default");
  EXPECT_EQ(options.generic.Get(AVMEDIA_TYPE_VIDEO, "preset"), "medium");
  EXPECT_EQ(options.generic.Get(AVMEDIA_TYPE_VIDEO, "qmin"), "10");
  Apply("vpre", "LIBX264-IPOD320");
  EXPECT_EQ(options.generic.Get(AVMEDIA_TYPE_VIDEO, "level"), "13");
  EXPECT_EQ(Failure("vpre", "nosuch"), "Preset \"nosuch\" not found");
  EXPECT_EQ(Failure("apre", "default"), "Preset \"default\" not found");
  EXPECT_EQ(Failure("fpre", "libx264-default"), "Preset \"libx264-default\" not found");
}

TEST_F(PresetTest, PresetFiles) {
  const auto folder = std::filesystem::temp_directory_path() / ("oxbel-presets-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream(folder / name) << text;
    return (folder / name).string();
  };
  const std::string good = write("good.ffpreset", "\n  acodec=mp2\r\n\r\nflags2=-wpred-dct8x8\nab=128000\n");
  Apply("fpre", good);
  EXPECT_EQ(options.pending.codecName[1], "mp2");
  EXPECT_EQ(options.generic.Get(AVMEDIA_TYPE_VIDEO, "weightb"), "0");
  EXPECT_EQ(options.generic.Get(AVMEDIA_TYPE_AUDIO, "ab"), "128000");

  const std::string noValue = write("novalue.ffpreset", "bf=\n");
  EXPECT_EQ(Failure("vpre", noValue), noValue + ": Invalid syntax: \"bf=\"");
  const std::string noName = write("noname.ffpreset", "=3\n");
  EXPECT_EQ(Failure("fpre", noName), noName + ": Invalid syntax: \"=3\"");
  const std::string refused = write("refused.ffpreset", "bf=many\n");
  EXPECT_EQ(Failure("fpre", refused),
            refused + ": Invalid option or argument: \"bf=many\", parsed as \"bf\" = \"many\"");
  EXPECT_EQ(Failure("fpre", folder.string()), "Preset \"" + folder.string() + "\" not found");
  std::filesystem::remove_all(folder);
}

// The profile and level that the libx264 presets give a real encoder: what
// decides whether old phones and players can play the output.
TEST_F(PresetTest, X264PresetsGiveTheirProfileAndLevel) {
  struct Expected {
    const char* preset;
    int profile, level;
  };
  const Expected cases[] = {
      {"ipod", FF_PROFILE_H264_BASELINE, 30},    {"ipod320", FF_PROFILE_H264_BASELINE, 13},
      {"ipod640", FF_PROFILE_H264_BASELINE, 30}, {"baseline", FF_PROFILE_H264_BASELINE, -1},
      {"mp4", FF_PROFILE_H264_MAIN, 30},         {"psp", FF_PROFILE_H264_MAIN, 30},
      {"main", FF_PROFILE_H264_MAIN, -1},        {"default", FF_PROFILE_H264_HIGH, -1},
  };
  const AVCodec* x264 = media::avcodec_find_encoder_by_name("libx264");
  ASSERT_NE(x264, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.preset);
    TaskOptions fresh;
    fresh.Apply("vcodec", "libx264", host);
    fresh.Apply("vpre", c.preset, host);
    AVCodecContext* encoder = media::avcodec_alloc_context3(x264);
    encoder->width = 320;
    encoder->height = 240;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = {1, 25};
    encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    fresh.generic.ApplyTo(encoder, AVMEDIA_TYPE_VIDEO, true);
    ASSERT_GE(media::avcodec_open2(encoder, x264, nullptr), 0);
    const auto [profile, level] = SpsProfileAndLevel(encoder);
    EXPECT_EQ(profile, c.profile);
    if (c.level > 0) {
      EXPECT_EQ(level, c.level);
    }
    if (c.profile == FF_PROFILE_H264_BASELINE) {
      EXPECT_EQ(encoder->max_b_frames, 0);
    }
    media::avcodec_free_context(&encoder);
  }
}

}  // namespace
