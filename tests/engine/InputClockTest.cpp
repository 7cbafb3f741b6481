#include <gtest/gtest.h>

#include "engine/run/InputClock.h"
#include "media/MediaLoader.h"

namespace {

constexpr std::int64_t kPicture = 40000;  // microseconds of a 25 fps picture
constexpr std::int64_t kTicks = 90;       // stream ticks (1/90000 s) per millisecond

// A decoded frame's time on a stream timed in 1/90000 s, after a picture at
// 0 that lasted one 25 fps picture.
class DecodedTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
    format_ = media::avformat_alloc_context();
    input_.stream = media::avformat_new_stream(format_, nullptr);
    input_.stream->time_base = {1, 90000};
    input_.decoder = media::avcodec_alloc_context3(nullptr);
    input_.decoder->codec_type = AVMEDIA_TYPE_VIDEO;
    input_.pts = 0;
    input_.nextPts = kPicture;
    frame_ = media::av_frame_alloc();
  }
  void TearDown() override {
    media::av_frame_free(&frame_);
    media::avcodec_free_context(&input_.decoder);
    media::avformat_free_context(format_);
  }

  // The time of a frame whose stamps are in milliseconds (-1: none).
  std::int64_t TimeOf(std::int64_t pts, std::int64_t bestEffort = -1) {
    frame_->pts = pts < 0 ? AV_NOPTS_VALUE : pts * kTicks;
    frame_->best_effort_timestamp = bestEffort < 0 ? AV_NOPTS_VALUE : bestEffort * kTicks;
    return clock_.DecodedTime(input_, *frame_);
  }

  TCustomEngineTask task_;
  RunContext run_{task_};
  InputClock clock_{run_};
  AVFormatContext* format_ = nullptr;
  InputStreamState input_;
  AVFrame* frame_ = nullptr;
};

TEST_F(DecodedTimeTest, PicturesFollowByDurationUnlessTheirStampShowsAGap) {
  EXPECT_EQ(TimeOf(40), kPicture);
  // Small drift of the count: the stamp corrects it.
  EXPECT_EQ(TimeOf(52), 52000);
  // A stamp about one picture off is misplaced (meant for a neighbour).
  EXPECT_EQ(TimeOf(64), kPicture);
  EXPECT_EQ(TimeOf(80), kPicture);
  EXPECT_EQ(TimeOf(0), kPicture);
  // More than one and a half pictures away: a real gap or jump.
  EXPECT_EQ(TimeOf(120), 120000);
  EXPECT_EQ(TimeOf(-1, -1), kPicture);
  // Without a stamp of its own the picture takes the decoder's guess, checked alike.
  EXPECT_EQ(TimeOf(-1, 200), 200000);
}

TEST_F(DecodedTimeTest, FirstPictureAndSoundTakeTheirOwnStamps) {
  input_.nextPts = AV_NOPTS_VALUE;
  EXPECT_EQ(TimeOf(80), 80000);
  EXPECT_EQ(TimeOf(-1, -1), 0);  // nothing known: where the stream stands

  input_.nextPts = kPicture;
  input_.decoder->codec_type = AVMEDIA_TYPE_AUDIO;
  // Sound goes by the decoder's best guess, even one picture off the count.
  EXPECT_EQ(TimeOf(10, 80), 80000);
  EXPECT_EQ(TimeOf(10, -1), kPicture);
}

}  // namespace
