// DVD titles converted through the conversion batch to the formats of today's
// devices: an archive keeps every audio and subtitle track of the title, and
// chapter formats carry the disc's chapters as chapter marks.
#include <gtest/gtest.h>

#include <filesystem>

#include "dvd/DvdPlugin.h"
#include "dvd/OpenDvdString.h"
#include "engine/face/MediaEngine.h"
#include "frontend/ConversionBatch.h"
#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"
#include "media/Dispatcher.h"
#include "support/BatchRun.h"
#include "support/DecodedSubtitles.h"
#include "support/TempHome.h"
#include "TestDvd.h"

namespace {

using test_dvd::Box;
using test_dvd::Disc;

constexpr double kFrame = 0.04;  // one PAL picture

struct OutputStream {
  AVMediaType type;
  std::string codec, language;
  bool isDefault;
  std::string extradata;
};

struct Chapter {
  double start, end;
  std::string title;
};

struct OutputFile {
  std::vector<OutputStream> streams;
  std::vector<Chapter> chapters;
  std::vector<std::vector<ShownSubtitle>> subtitles;  // by subtitle stream, in stream order
};

std::string Tag(const AVDictionary* metadata, const char* key) {
  const AVDictionaryEntry* entry = media::av_dict_get(metadata, key, nullptr, 0);
  return entry ? entry->value : "";
}

OutputFile Read(const std::string& path) {
  OutputFile file;
  AVFormatContext* input = nullptr;
  if (media::avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return file;
  media::avformat_find_stream_info(input, nullptr);
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVStream* stream = input->streams[i];
    const AVCodecParameters* parameters = stream->codecpar;
    file.streams.push_back({parameters->codec_type, media::avcodec_get_name(parameters->codec_id),
                            Tag(stream->metadata, "language"), (stream->disposition & AV_DISPOSITION_DEFAULT) != 0,
                            std::string(reinterpret_cast<const char*>(parameters->extradata),
                                        size_t(std::max(parameters->extradata_size, 0)))});
  }
  for (unsigned c = 0; c < input->nb_chapters; ++c) {
    const AVChapter* chapter = input->chapters[c];
    file.chapters.push_back({chapter->start * av_q2d(chapter->time_base), chapter->end * av_q2d(chapter->time_base),
                             Tag(chapter->metadata, "title")});
  }
  media::avformat_close_input(&input);
  file.subtitles = DecodeSubtitleStreams(path);
  return file;
}

std::vector<const OutputStream*> StreamsOf(const OutputFile& file, AVMediaType type) {
  std::vector<const OutputStream*> streams;
  for (const OutputStream& stream : file.streams)
    if (stream.type == type) streams.push_back(&stream);
  return streams;
}

void ExpectSubtitle(const std::vector<ShownSubtitle>& shown, const test_dvd::Shown& when, const Box& box) {
  ASSERT_FALSE(shown.empty());
  const ShownSubtitle& first = shown.front();
  EXPECT_NEAR(first.start, when.start, 0.1);
  EXPECT_NEAR(first.end, when.end, 0.1);
  constexpr int kMargin = 5;  // the picture's transparent margin, which the decoder may cut off
  EXPECT_NEAR(first.x, box.x, kMargin);
  EXPECT_NEAR(first.y, box.y, kMargin);
  EXPECT_NEAR(first.width, box.width, 2 * kMargin);
  EXPECT_NEAR(first.height, box.height, 2 * kMargin);
  for (int shift : {0, 8, 16})
    EXPECT_GT((first.centre >> shift) & 0xFF, 200u) << "the box is white in the disc's colours";
}

class DvdTitleFormats : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder);
    engine.SetDispatcher(&dispatcher);
    ASSERT_TRUE(engine.LoadLibraries("")) << engine.LastErrorMessage();
    ASSERT_TRUE(LoadDvdPlugin(std::string(OXBEL_PROGRAM_DIR) + "/LibAV", kDvdInitialisation)) << DvdLastError();
    ASSERT_EQ(DVDEnumTitle(test_dvd::Path(Disc::TwoSubtitles)), 1);
    ASSERT_TRUE(DVDGetTitle(0, title));
  }

  // Converts title 1 with the chosen streams to the format; the output's path.
  std::string Convert(int code, int audioId, int subtitleId, const TFileJob& job = {}) {
    const DvdParam param{0, 0, 99, audioId, subtitleId, 2, 0};
    batch.Begin({code, IniFile(home.settingsPath().toStdString()), IniFile(platform_paths::CatalogueFilePath()), folder,
                 [](const std::string&, const std::string&) { return true; }});
    EXPECT_GE(batch.AddDvdTitle(0, "DVD Title 1", BuildOpenDvdString(test_dvd::Path(Disc::TwoSubtitles), param), title,
                                job),
              0);
    RunBatch();
    EXPECT_EQ(batch.Converted(), 1) << (batch.Failures().empty() ? "" : batch.Failures().front().reason);
    return batch.Destination(0);
  }

  void RunBatch() { ASSERT_TRUE(RunBatchOnThisThread(engine, dispatcher, batch)); }

  void ExpectChapters(const OutputFile& file, const std::vector<Chapter>& expected) {
    ASSERT_EQ(file.chapters.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_NEAR(file.chapters[i].start, expected[i].start, kFrame) << "chapter " << i + 1;
      EXPECT_NEAR(file.chapters[i].end, expected[i].end, kFrame) << "chapter " << i + 1;
      EXPECT_EQ(file.chapters[i].title, expected[i].title);
    }
  }

  TempHome home;
  std::string folder = home.file("out");
  QueueDispatcher dispatcher;
  TMediaEngine engine;
  ConversionBatch batch{engine, {}};
  DvdTitleInfo title{};
};

// The archive (1100) copies both AC-3 tracks and both subpicture tracks, the
// job's German choices first and default, each with its language, the
// subpictures showing their boxes at their times in the disc's colours.
TEST_F(DvdTitleFormats, ArchiveKeepsEveryTrackAndTheChapters) {
  const std::string path = Convert(1100, 0x81, 0x21);
  EXPECT_EQ(std::filesystem::path(path).filename(), "DVD Title 1_(new).mkv");
  const OutputFile file = Read(path);
  const auto audio = StreamsOf(file, AVMEDIA_TYPE_AUDIO), subtitles = StreamsOf(file, AVMEDIA_TYPE_SUBTITLE);
  ASSERT_EQ(audio.size(), 2u);
  EXPECT_EQ(audio[0]->codec, "ac3");
  EXPECT_EQ(audio[0]->language, "ger");
  EXPECT_TRUE(audio[0]->isDefault);
  EXPECT_EQ(audio[1]->codec, "ac3");
  EXPECT_EQ(audio[1]->language, "eng");
  EXPECT_FALSE(audio[1]->isDefault);
  ASSERT_EQ(subtitles.size(), 2u);
  EXPECT_EQ(subtitles[0]->codec, "dvd_subtitle");
  EXPECT_EQ(subtitles[0]->language, "ger");
  EXPECT_TRUE(subtitles[0]->isDefault);
  EXPECT_EQ(subtitles[1]->language, "eng");
  EXPECT_FALSE(subtitles[1]->isDefault);
  EXPECT_NE(subtitles[0]->extradata.find("palette:"), std::string::npos) << subtitles[0]->extradata;
  ASSERT_EQ(file.subtitles.size(), 2u);
  ExpectSubtitle(file.subtitles[0], test_dvd::kGermanSubtitle, test_dvd::kBottomBox);
  ExpectSubtitle(file.subtitles[1], test_dvd::kEnglishSubtitle, test_dvd::kTopBox);
  ExpectChapters(file, {{0, 1.2, "Chapter 1"}, {1.2, 2.4, "Chapter 2"}, {2.4, 3.0, "Chapter 3"}});
}

// A format that only takes the chapters converts the chosen audio alone, and a
// trimmed job's chapter marks move with its start and lose what lies before it.
TEST_F(DvdTitleFormats, PhoneMp4CarriesTheChaptersOfATrimmedJob) {
  TFileJob job;
  job.TrimStart = 1000000;
  const OutputFile file = Read(Convert(800, 0x80, 0, job));
  const auto audio = StreamsOf(file, AVMEDIA_TYPE_AUDIO);
  ASSERT_EQ(audio.size(), 1u);
  EXPECT_EQ(audio[0]->codec, "aac");
  ExpectChapters(file, {{0, 0.2, "Chapter 1"}, {0.2, 1.4, "Chapter 2"}, {1.4, 2.0, "Chapter 3"}});
}

// Without a chosen subtitle no subtitle track is marked default.
TEST_F(DvdTitleFormats, ArchiveWithoutChosenSubtitleMarksNoneDefault) {
  const OutputFile file = Read(Convert(1100, 0x80, 0));
  const auto audio = StreamsOf(file, AVMEDIA_TYPE_AUDIO), subtitles = StreamsOf(file, AVMEDIA_TYPE_SUBTITLE);
  ASSERT_EQ(audio.size(), 2u);
  EXPECT_EQ(audio[0]->language, "eng");
  ASSERT_EQ(subtitles.size(), 2u);
  EXPECT_EQ(subtitles[0]->language, "eng");
  EXPECT_FALSE(subtitles[0]->isDefault || subtitles[1]->isDefault);
}

}  // namespace
