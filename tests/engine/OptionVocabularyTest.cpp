#include <cmath>

#include "OptionTestSupport.h"

namespace {

TEST_F(OptionTest, AspectRatioTexts) {
  Apply("aspect", "4:3");
  EXPECT_FLOAT_EQ(options.pending.aspectRatio, 4.0f / 3);
  Apply("aspect", "1.7777");
  EXPECT_FLOAT_EQ(options.pending.aspectRatio, 1.7777f);
  for (const char* bad : {"16:0", "0", "4:", ":3", "abc", "-4:3"})
    EXPECT_EQ(Failure("aspect", bad), "Incorrect aspect ratio specification.") << bad;
  EXPECT_FLOAT_EQ(options.pending.aspectRatio, 1.7777f);
}

TEST_F(OptionTest, FrameSizeAndRate) {
  Apply("s", "cif");
  EXPECT_EQ(options.pending.frameWidth, 352);
  EXPECT_EQ(options.pending.frameHeight, 288);
  EXPECT_EQ(Failure("s", "bad"), "Incorrect frame size");
  EXPECT_EQ(options.pending.frameWidth, 352);

  Apply("r", "ntsc");
  EXPECT_EQ(options.pending.frameRate.num, 30000);
  EXPECT_EQ(options.pending.frameRate.den, 1001);
  EXPECT_EQ(Failure("r", "fast"), "Incorrect frame rate");
  EXPECT_EQ(Failure("r", "-25"), "Incorrect frame rate");
  EXPECT_EQ(options.pending.frameRate.num, 30000);
}

TEST_F(OptionTest, CropIsTakenOffTheCurrentFrameSize) {
  Apply("s", "720x576");
  Apply("croptop", "0");
  Apply("croptop", "-8");
  EXPECT_EQ(options.pending.cropTop, 0);
  EXPECT_EQ(options.pending.frameHeight, 576);
  EXPECT_FALSE(Logged(llWarning, "CropXXX"));

  const std::string vertical =
      "Vertical crop dimensions are outside the range of the original image.\nRemember to crop first and scale second.";
  EXPECT_EQ(Failure("croptop", "576"), vertical);
  Apply("croptop", "16");
  EXPECT_EQ(options.pending.cropTop, 16);
  EXPECT_EQ(options.pending.frameHeight, 560);
  EXPECT_TRUE(Logged(llWarning, "CropXXX is deprecated in favor of the crop avfilter"));
  EXPECT_EQ(Failure("cropbottom", "560"), vertical);

  EXPECT_EQ(Failure("cropright", "720"),
            "Horizontal crop dimensions are outside the range of the original image.\nRemember to crop first and "
            "scale second.");
  Apply("cropleft", "8");
  EXPECT_EQ(options.pending.frameWidth, 712);
  EXPECT_EQ(Failure("padtop", "8"), "Please use vfilters=pad");
}

TEST_F(OptionTest, BitRateWarningAndStore) {
  Apply("b", "64");
  EXPECT_TRUE(Logged(llWarning,
                     "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not "
                     "kbits/s"));
  ClearLog();
  Apply("b", "64000");
  Apply("vb", "64k");
  EXPECT_FALSE(Logged(llWarning, "bitrate parameter"));
  // "vb" is the video "b"; "ab" stays with the audio codec options.
  EXPECT_EQ(options.generic.Get(AVMEDIA_TYPE_VIDEO, "b"), "64k");
  Apply("ab", "224000");
  EXPECT_EQ(options.generic.Get(AVMEDIA_TYPE_AUDIO, "ab"), "224000");
  EXPECT_EQ(options.generic.Get(AVMEDIA_TYPE_VIDEO, "ab"), "");
}

TEST_F(OptionTest, NumbersWithLimits) {
  EXPECT_EQ(Failure("pass", "3"), "pass number can be only 1 or 2");
  EXPECT_EQ(Failure("pass", "0"), "pass number can be only 1 or 2");
  Apply("pass", "2");
  EXPECT_EQ(options.task.pass, 2);
  EXPECT_EQ(Failure("threads", "4"), "TODO: option - threads");

  for (const char* bad : {"0", "-1", "255.5", "nan"})
    EXPECT_EQ(Failure("qscale", bad), "qscale must be > 0.0 and <= 255") << bad;
  Apply("qscale", "255");
  EXPECT_FLOAT_EQ(options.task.qscale, 255);

  Apply("ar", "0");
  Apply("ac", "-1");
  EXPECT_EQ(options.pending.sampleRate, 44100);
  EXPECT_EQ(options.pending.channels, 2);
  Apply("ar", "22050");
  EXPECT_EQ(options.pending.sampleRate, 22050);

  EXPECT_EQ(Failure("itsscale", "20:2"), "stream index over MAX_STREAMS(20)");
  EXPECT_EQ(Failure("itsscale", "-1:2"), "stream index over MAX_STREAMS(20)");
  Apply("itsscale", "19:0.5");
  EXPECT_DOUBLE_EQ(options.pending.tsScale[19], 0.5);
}

TEST_F(OptionTest, DurationsAndDates) {
  Apply("t", "00:01:30.5");
  EXPECT_EQ(options.pending.recordingTime, 90500000);
  EXPECT_EQ(options.task.expectedDuration, 90500000);
  Apply("ss", "12.25");
  EXPECT_EQ(options.pending.startTime, 12250000);
  EXPECT_EQ(Failure("itsoffset", "soon"), "Invalid duration specification for itsoffset: soon");
  Apply("timestamp", "1970-01-01T00:01:40Z");
  EXPECT_EQ(options.pending.recordingTimestamp, 100);
  EXPECT_EQ(Failure("timestamp", "garbage"), "Invalid date specification for timestamp: garbage");
}

TEST_F(OptionTest, TextSyntaxes) {
  EXPECT_EQ(Failure("metadata", "title"), "Missing =");
  Apply("metadata", "comment=a=b");
  ASSERT_EQ(options.pending.metadata.size(), 1u);
  EXPECT_EQ(options.pending.metadata[0], std::make_pair(std::string("comment"), std::string("a=b")));

  Apply("vtag", "DX50");
  EXPECT_EQ(options.pending.codecTag[0], MKTAG('D', 'X', '5', '0'));
  EXPECT_EQ(Failure("vtag", "xvi"), "video tag parameter must be 4 chars");
  EXPECT_EQ(Failure("atag", "abcde"), "audio tag parameter must be 4 chars");
  EXPECT_EQ(Failure("stag", ""), "subtitle tag parameter must be 4 chars");

  Apply("streamid", "1:100");
  EXPECT_EQ(options.pending.streamIds.at(1), 100);
  for (const char* bad : {"1", "a:3", "1:", ":4", "1:2x"})
    EXPECT_EQ(Failure("streamid", bad),
              std::string("Invalid value \"") + bad + "\" for option \"streamid\", required syntax is \"index:value\"");

  std::string matrix;
  for (int i = 1; i <= 64; ++i) matrix += std::to_string(i) + (i < 64 ? "," : "");
  Apply("intra_matrix", matrix);
  ASSERT_EQ(options.pending.intraMatrix.size(), 64u);
  EXPECT_EQ(options.pending.intraMatrix[63], 64);
  const std::string shortMatrix = matrix.substr(0, matrix.rfind(','));
  EXPECT_EQ(Failure("inter_matrix", shortMatrix), "Syntax error in matrix \"" + shortMatrix + "\" at coeff 62");

  Apply("map", "1:2");
  Apply("map", "0.1:1.0");
  ASSERT_EQ(options.task.streamMaps.size(), 2u);
  EXPECT_EQ(options.task.streamMaps[0].syncFile, 1);
  EXPECT_EQ(options.task.streamMaps[0].syncStream, 2);
  EXPECT_EQ(options.task.streamMaps[1].stream, 1);
  EXPECT_EQ(options.task.streamMaps[1].syncFile, 1);
  EXPECT_EQ(options.task.streamMaps[1].syncStream, 0);
}

TEST_F(OptionTest, FormatsFiltersAndCodecNames) {
  EXPECT_EQ(Failure("absf", "nope"), "Unknown bitstream filter nope");
  Apply("vbsf", "h264_mp4toannexb");
  EXPECT_EQ(options.pending.bitstreamFilters[0], std::vector<std::string>{"h264_mp4toannexb"});
  EXPECT_EQ(Failure("pix_fmt", "yuv999"), "Unknown pixel format requested: yuv999");
  Apply("pix_fmt", "yuv422p");
  EXPECT_EQ(options.pending.pixelFormat, AV_PIX_FMT_YUV422P);
  Apply("f", "pgmyuv");
  EXPECT_EQ(options.pending.formatName, "image2");
  EXPECT_TRUE(options.pending.pgmyuvDecoder);
  EXPECT_TRUE(Logged(llInfo, "pgmyuv format is deprecated, use image2"));
  Apply("an", "0");
  Apply("sn", "yes");
  EXPECT_FALSE(options.pending.disabled[1]);
  EXPECT_TRUE(options.pending.disabled[2]);
}

TEST_F(OptionTest, ActionsOnTheTask) {
  Apply("vhook", "/x/hook.so|-a 1|b");
  Apply("vhook", "/x/hook.so  -a 1");
  ASSERT_EQ(host.hookWords.size(), 2u);
  EXPECT_EQ(host.hookWords[0], (std::vector<std::string>{"/x/hook.so", "-a 1", "b"}));
  EXPECT_EQ(host.hookWords[1], (std::vector<std::string>{"/x/hook.so", "-a", "1"}));
  host.failHook = true;
  EXPECT_EQ(Failure("vhook", "/x/missing.so"), "Failed to add video hook function: /x/missing.so");

  Apply("newaudio", "");
  EXPECT_EQ(host.addedStreams, std::vector<StreamKind>{StreamKind::Audio});
  host.hasOutput = false;
  EXPECT_EQ(Failure("newvideo", ""), "At least one output file must be specified");

  Apply("y", "");
  EXPECT_TRUE(Logged(llInfo, "Do nothing: option - y"));
  Apply("timelimit", "10");
  EXPECT_TRUE(Logged(llWarning, "Warning: -timelimit not implemented on Windows"));
}

// Target presets.

TEST_F(OptionTest, PalDvdTarget) {
  Apply("target", "pal-dvd");
  const auto& p = options.pending;
  EXPECT_EQ(p.frameWidth, 720);
  EXPECT_EQ(p.frameHeight, 576);
  EXPECT_EQ(av_cmp_q(p.frameRate, AVRational{25, 1}), 0);
  EXPECT_EQ(p.codecName[0], "mpeg2video");
  EXPECT_EQ(p.codecName[1], "ac3");
  EXPECT_EQ(p.formatName, "dvd");
  EXPECT_EQ(p.sampleRate, 48000);
  EXPECT_FLOAT_EQ(p.aspectRatio, 16.0f / 9);
  EXPECT_TRUE(Logged(llInfo, "Assuming 16:9 for aspect ratio"));
  EXPECT_FALSE(Logged(llInfo, "for target."));
  const auto& g = options.generic;
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_AUDIO, "ab"), "448000");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_VIDEO, "b"), "6000000");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_VIDEO, "g"), "15");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_UNKNOWN, "packetsize"), "2048");
  EXPECT_EQ(g.Get(AVMEDIA_TYPE_UNKNOWN, "muxrate"), "10080000");
}

TEST_F(OptionTest, FilmVcdAndSvcdTargets) {
  Apply("aspect", "16:9");
  Apply("target", "film-vcd");
  EXPECT_EQ(options.pending.frameWidth, 352);
  EXPECT_EQ(options.pending.frameHeight, 240);
  EXPECT_EQ(av_cmp_q(options.pending.frameRate, AVRational{24000, 1001}), 0);
  EXPECT_EQ(options.generic.Get(AVMEDIA_TYPE_VIDEO, "g"), "18");
  EXPECT_DOUBLE_EQ(options.task.muxPreload, 0.44);
  EXPECT_FLOAT_EQ(options.pending.aspectRatio, 16.0f / 9);  // set before: kept

  options.Reset();
  Apply("ac", "1");
  Apply("target", "ntsc-svcd");
  EXPECT_EQ(options.pending.channels, 2);
  EXPECT_EQ(options.pending.frameHeight, 480);
  EXPECT_EQ(options.generic.Get(AVMEDIA_TYPE_VIDEO, "scan_offset"), "1");
  EXPECT_FLOAT_EQ(options.pending.aspectRatio, 4.0f / 3);

  options.Reset();
  Apply("target", "pal-dv50");
  EXPECT_EQ(options.pending.pixelFormat, AV_PIX_FMT_YUV422P);
  Apply("target", "ntsc-dv");
  EXPECT_EQ(options.pending.pixelFormat, AV_PIX_FMT_YUV411P);
}

TEST_F(OptionTest, AutomaticTargetNorm) {
  EXPECT_EQ(Failure("target", "dvd"), "frame_rate is invalid.");
  EXPECT_EQ(Failure("target", "pal-cd"), "Unknown target type");

  Apply("r", "30000/1001");
  Apply("target", "dvd");
  EXPECT_EQ(options.pending.frameHeight, 480);
  EXPECT_TRUE(Logged(llInfo, "Assuming NTSC for target."));

  // A rate that does not decide: the inputs' rates, then the caller's fallback.
  options.Reset();
  Apply("r", "15");
  host.inputRates = {{0, 0}, {15, 1}, {25, 1}};
  Apply("target", "vcd");
  EXPECT_EQ(options.pending.frameHeight, 288);
  options.Reset();
  Apply("r", "15");
  host.inputRates.clear();
  options.ApplyTarget("vcd", "film", host);
  EXPECT_EQ(av_cmp_q(options.pending.frameRate, AVRational{24000, 1001}), 0);
  options.Reset();
  Apply("r", "15");
  options.ApplyTarget("vcd", "pal", host);
  EXPECT_EQ(options.pending.frameHeight, 288);

  ClearLog();
  options.Reset();
  Apply("v", "0");
  Apply("r", "25");
  Apply("target", "dvd");
  EXPECT_FALSE(Logged(llInfo, "for target."));
}

}  // namespace
