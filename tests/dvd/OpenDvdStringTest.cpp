#include <gtest/gtest.h>

#include "dvd/OpenDvdString.h"

// Found by argument lookup, so beside the record's own (global) namespace.
static bool operator==(const DvdParam& a, const DvdParam& b) {
  return a.Title == b.Title && a.FromChapter == b.FromChapter && a.ToChapter == b.ToChapter &&
         a.AudioID == b.AudioID && a.SubtitleID == b.SubtitleID && a.AudioChannels == b.AudioChannels &&
         a.Deinterlace == b.Deinterlace;
}

namespace {

TEST(OpenDvdString, BuildsTheSourceNameOfAJob) {
  EXPECT_EQ(BuildOpenDvdString("D:", DvdParam{0, 1, 12, 128, 32, 2, 0}),
            "opendvd:D:|Title=1,FromChapter=1,ToChapter=12,AudioID=128,SubtitleID=32,AudioChannels=2,Deinterlace=0");
  EXPECT_EQ(BuildOpenDvdString("D:", DvdParam{0, 0, 99, 128, 32, 2, 0}),
            "opendvd:D:|Title=1,FromChapter=0,ToChapter=99,AudioID=128,SubtitleID=32,AudioChannels=2,Deinterlace=0");
}

TEST(OpenDvdString, ParsesWhatItBuilds) {
  const DvdParam param{2, 3, 5, 0xC1, 0x21, 2, 1};
  const std::string path = "/media/My DVD|copy";
  std::string parsedPath;
  DvdParam parsed{};
  bool hasParameters = false;
  ASSERT_TRUE(ParseOpenDvdString(BuildOpenDvdString(path, param), parsedPath, parsed, hasParameters));
  EXPECT_TRUE(hasParameters);
  EXPECT_EQ(parsedPath, path);
  EXPECT_EQ(parsed, param);
}

TEST(OpenDvdString, FieldsInAnyOrderWithDefaults) {
  std::string path;
  DvdParam param{};
  bool hasParameters = false;
  ASSERT_TRUE(ParseOpenDvdString("opendvd:/dev/sr0|AudioID=129,Title=3", path, param, hasParameters));
  EXPECT_EQ(path, "/dev/sr0");
  EXPECT_EQ(param, (DvdParam{2, 0, 99, 129, 0, 2, 0}));

  ASSERT_TRUE(ParseOpenDvdString("opendvd:/dev/sr0", path, param, hasParameters));
  EXPECT_FALSE(hasParameters) << "the short form reads with the last set parameters";
  EXPECT_EQ(path, "/dev/sr0");
}

// The extras follow the fields only when set; names without them read as none.
TEST(OpenDvdString, ExtrasFollowTheFieldsWhenSet) {
  const DvdParam param{0, 0, 99, 128, 0, 2, 0};
  EXPECT_EQ(BuildOpenDvdString("D:", param, {.allStreams = true, .chapters = true}),
            "opendvd:D:|Title=1,FromChapter=0,ToChapter=99,AudioID=128,SubtitleID=0,AudioChannels=2,Deinterlace=0,"
            "AllStreams=1,Chapters=1");
  EXPECT_EQ(BuildOpenDvdString("D:", param, {.chapters = true}), BuildOpenDvdString("D:", param) + ",Chapters=1");
  std::string path;
  DvdParam parsed{};
  bool hasParameters = false;
  OpenDvdExtras extras;
  ASSERT_TRUE(ParseOpenDvdString("opendvd:D:|AllStreams=1,Title=2", path, parsed, hasParameters, &extras));
  EXPECT_TRUE(extras.allStreams);
  EXPECT_FALSE(extras.chapters);
  EXPECT_EQ(parsed.Title, 1);
  ASSERT_TRUE(ParseOpenDvdString(BuildOpenDvdString("D:", param), path, parsed, hasParameters, &extras));
  EXPECT_FALSE(extras.allStreams || extras.chapters);
  for (const char* text : {"opendvd:D:|Title=1,AllStreams=2", "opendvd:D:|Title=1,Chapters=1,Chapters=1",
                           "opendvd:D:|Title=1,AllStreams="})
    EXPECT_FALSE(ParseOpenDvdString(text, path, parsed, hasParameters, &extras)) << text;
}

TEST(OpenDvdString, RefusesMalformedNames) {
  std::string path;
  DvdParam param{};
  bool hasParameters = false;
  for (const char* text : {"opendvd:", "opendvd:|Title=1", "file:/x|Title=1", "opendvd:D:|Title=0",
                           "opendvd:D:|Title=1x", "opendvd:D:|Title=", "opendvd:D:|Title=1,,AudioID=128",
                           "opendvd:D:|Title=1,Title=2", "opendvd:D:|Title=1,Angle=2", "opendvd:D:|FromChapter=1",
                           "opendvd:D:|Title=99999999999", "opendvd:D:|Title= 1"})
    EXPECT_FALSE(ParseOpenDvdString(text, path, param, hasParameters)) << text;
}

}  // namespace
