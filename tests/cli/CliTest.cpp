#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "frontend/IniFile.h"
#include "media/MediaLoader.h"
#include "testmedia/TestMedia.h"
#include "probe/MediaProbe.h"
#include "support/RunCli.h"
#include "support/TempHome.h"

namespace {

TEST(Cli, ProbeDescribesFilesAndFailsOnBadOnes) {
  TempHome home;
  const std::string wav = home.file("tone.wav");
  // 44-byte header and 100 bytes of 8-bit mono PCM at 8000 Hz.
  std::string bytes = "RIFF";
  auto le32 = [&](unsigned v) { for (int i = 0; i < 4; ++i) bytes += char((v >> (8 * i)) & 0xFF); };
  auto le16 = [&](unsigned v) { bytes += char(v & 0xFF); bytes += char(v >> 8); };
  le32(36 + 100);
  bytes += "WAVEfmt ";
  le32(16); le16(1); le16(1); le32(8000); le32(8000); le16(1); le16(8);
  bytes += "data";
  le32(100);
  bytes += std::string(100, char(0x80));
  WriteFileBytes(wav, bytes);

  const CliRun good = RunCli("probe '" + wav + "'");
  EXPECT_EQ(good.exitCode, 0) << good.output;
  EXPECT_NE(good.output.find("File Name: " + wav + "\nFormat Name: wav\n"), std::string::npos) << good.output;
  EXPECT_NE(good.output.find("File Size: 144 Byte"), std::string::npos);
  EXPECT_NE(good.output.find("Stream #0, 1/8000: Audio: pcm_u8"), std::string::npos) << good.output;

  const std::string missing = home.file("missing.mp4");
  const CliRun bad = RunCli("probe '" + wav + "' '" + missing + "'");
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.output.find(missing + ": No such file or directory"), std::string::npos) << bad.output;
  EXPECT_NE(bad.output.find("Format Name: wav"), std::string::npos);

  EXPECT_EQ(RunCli("probe").exitCode, 1);
  EXPECT_EQ(RunCli("frobnicate x").exitCode, 2);
  const CliRun help = RunCli("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("probe FILE..."), std::string::npos);
}

TEST(Cli, ConvertFinishesFailsAndStopsOnInterrupt) {
  TempHome home;
  const std::string source = test_media::Path(test_media::Kind::DvdPalMpeg2Ac3);
  const std::string output = home.file("out.3gp");
  const CliRun done = RunCli("convert -i '" + source + "' vcodec=h263 s=176x144 acodec=libfaac ar=22050 -o '" + output + "'");
  EXPECT_EQ(done.exitCode, 0) << done.output;
  EXPECT_NE(done.output.find("frame="), std::string::npos);
  EXPECT_GT(std::filesystem::file_size(output), 1000u);

  const CliRun bad = RunCli("convert -i '" + source + "' s=12 -o '" + output + "'");
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.output.find("Incorrect frame size"), std::string::npos) << bad.output;

  // Reading at the source's own pace keeps the run going long enough to interrupt it.
  const std::string stopped = home.file("stopped.mp4");
  const CliRun interrupted = RunCli("convert re=1 -i '" + source + "' vcodec=mpeg4 -o '" + stopped + "' & pid=$!; "
                                    "sleep 0.8; kill -INT $pid; wait $pid; exit $?", true);
  EXPECT_EQ(interrupted.exitCode, 130) << interrupted.output;
  TMediaProbe probe;
  ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
  ASSERT_TRUE(probe.LoadFile(stopped)) << probe.LastErrorMessage();
  EXPECT_GT(probe.FileStreamInfo().Duration, 0);
  EXPECT_LT(probe.FileStreamInfo().Duration, 1900000);
}

}  // namespace

namespace {

// The window's way: a format code and the stored settings, destinations named
// in the settings' output folder, one line per file.
TEST(Cli, ConvertsFilesWithAFormatOfTheCatalogue) {
  TempHome home;
  const std::string folder = home.file("videos");
  IniFile settings(home.settingsPath().toStdString());
  settings.writeString("settings", "OutPutDir", folder);
  const std::string source = test_media::Path(test_media::Kind::DvdPalMpeg2Ac3);
  const std::string missing = home.file("missing.avi");

  const CliRun run = RunCli("convert --format 200 '" + source + "' '" + source + "' '" + missing + "'");
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("[1/3] " + source + " -> " + folder + "/dvd_pal_(new).3gp: converted"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("[2/3] " + source + " -> " + folder + "/dvd_pal_(new_1).3gp: converted"), std::string::npos);
  EXPECT_NE(run.output.find("[3/3] " + missing + " -> " + folder + "/missing_(new).3gp: failed: "), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder + "/missing_(new).3gp"));

  const std::string other = home.file("other");
  const CliRun single = RunCli("convert -d '" + other + "' --format 700 '" + source + "'");
  EXPECT_EQ(single.exitCode, 0) << single.output;
  EXPECT_TRUE(std::filesystem::exists(other + "/dvd_pal_(new).mp3"));

  EXPECT_EQ(RunCli("convert --format 799 '" + source + "'").exitCode, 1);
  EXPECT_EQ(RunCli("convert --format 200").exitCode, 1);
  const CliRun formats = RunCli("formats");
  EXPECT_EQ(formats.exitCode, 0);
  EXPECT_NE(formats.output.find("200  Mobile Phone 3GP h263 Video(*.3gp)"), std::string::npos) << formats.output;
  EXPECT_NE(formats.output.find("706  AC-3 Audio Codec (*.ac3)"), std::string::npos);
  EXPECT_NE(formats.output.find("1201  FLAC Lossless Audio (*.flac)"), std::string::npos);
  EXPECT_EQ(std::count(formats.output.begin(), formats.output.end(), '\n'), 50);
  const CliRun opus = RunCli("convert --format 1200 -d '" + other + "' '" + source + "'");
  EXPECT_EQ(opus.exitCode, 0) << opus.output;
  EXPECT_TRUE(std::filesystem::exists(other + "/dvd_pal_(new).opus"));
}

// A stored frame rate of 0.0001 once made a video track of months: refused.
TEST(Cli, AbsurdStoredValueFailsTheFileAndWritesNothing) {
  TempHome home;
  const std::string folder = home.file("videos");
  IniFile settings(home.settingsPath().toStdString());
  settings.writeString("formatInfo200", "paraFrameRate", "0.0001");
  const std::string source = test_media::Path(test_media::Kind::DvdPalMpeg2Ac3);
  const CliRun run = RunCli("convert --format 200 -d '" + folder + "' '" + source + "'");
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("failed: Frame Rate is not a valid value!"), std::string::npos) << run.output;
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
