#include <gtest/gtest.h>

#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "media/MediaUtils.h"
#include "media/UnicodeProtocol.h"
#include "support/TempHome.h"

namespace {

TEST(MediaUtils, ErrorTextsOfKnownAndOtherCodes) {
  ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
  EXPECT_EQ(MediaErrorText("a.mp4", AVERROR(ENOENT)), "a.mp4: No such file or directory");
  EXPECT_EQ(MediaErrorText("a.mp4", AVERROR_INVALIDDATA), "a.mp4: Invalid data found when processing input");
  EXPECT_EQ(MediaErrorText("a.mp4", AVERROR_EOF), "a.mp4: End of file");
  EXPECT_EQ(MediaErrorText("x", AVERROR_PROTOCOL_NOT_FOUND), "x: Unsupported network protocol");
  EXPECT_EQ(MediaErrorText("x", AVERROR_DEMUXER_NOT_FOUND), "x: Unknown format");
  EXPECT_EQ(MediaErrorText("x", AVERROR(EACCES)), "x: Error number -13 occurred (Permission denied)");
}

TEST(MediaUtils, TimeTextsAndKindNames) {
  EXPECT_EQ(MicrosecondsText(0), "00:00:00.000");
  EXPECT_EQ(MicrosecondsText(5400000000LL), "01:30:00.000");
  EXPECT_EQ(MicrosecondsText(3723004999LL), "01:02:03.004");
  EXPECT_EQ(MicrosecondsText(AV_NOPTS_VALUE), "N/A");
  EXPECT_EQ(MediaKindName(0), "Video");
  EXPECT_EQ(MediaKindName(4), "Attachment");
  EXPECT_EQ(MediaKindName(-1), "Unknown");
  EXPECT_EQ(MediaKindName(5), "Unknown");
}

TEST(UnicodeProtocol, NamesPassUnchangedExceptTheUnicodePrefixAndColonNames) {
  using namespace unicode_protocol;
  EXPECT_TRUE(HasProtocolPrefix("http://host/a.mp4"));
  EXPECT_TRUE(HasProtocolPrefix("udp://1.2.3.4:5"));
  EXPECT_FALSE(HasProtocolPrefix("https://host/a.mp4"));
  EXPECT_FALSE(HasProtocolPrefix("/home/a.mp4"));
  EXPECT_EQ(NameForLibrary("http://host/a.mp4"), "http://host/a.mp4");
  EXPECT_EQ(NameForLibrary("/home/vidéo.mp4"), "/home/vidéo.mp4");
  EXPECT_EQ(NameForLibrary("unicode:utf8:/home/vidéo.mp4"), "/home/vidéo.mp4");
  EXPECT_EQ(NameFromLibrary("unicode:utf8:/home/vidéo.mp4"), "/home/vidéo.mp4");
  EXPECT_EQ(NameFromLibrary("unicode:utf8:"), "unicode:utf8:");  // too short to hold a name

  // A relative local name with a colon would be read as a protocol.
  TempHome home;
  const std::string cwd = std::filesystem::current_path();
  std::filesystem::current_path(home.path().toStdString());
  WriteFileBytes("clip: part 1.mp4", "x");
  EXPECT_EQ(NameForLibrary("clip: part 1.mp4"), "file:clip: part 1.mp4");
  EXPECT_EQ(NameFromLibrary("file:clip: part 1.mp4"), "clip: part 1.mp4");
  EXPECT_EQ(NameForLibrary("nofile: here.mp4"), "nofile: here.mp4");
  std::filesystem::current_path(cwd);
}

}  // namespace
