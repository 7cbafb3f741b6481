// The timing rules, the event ring, the picture placement and the DVD
// timeline, each on its own.
#include <gtest/gtest.h>

#include <cmath>

#include "player/FrameTiming.h"
#include "player/PicturePlacement.h"
#include "player/PlayerEventQueue.h"
#include "player/TimelineRebase.h"

TEST(FrameTimingRules, DelayFollowsTheMasterClock) {
  // Nominal 0.04 s: ahead by less than the threshold stays, ahead by more doubles, behind halves.
  EXPECT_DOUBLE_EQ(FrameTiming::SyncedDelay(0.04, 0.02), 0.04);
  EXPECT_DOUBLE_EQ(FrameTiming::SyncedDelay(0.04, 0.05), 0.08);
  EXPECT_DOUBLE_EQ(FrameTiming::SyncedDelay(0.04, -0.05), 0.02);  // catches up half a frame
  EXPECT_DOUBLE_EQ(FrameTiming::SyncedDelay(0.04, 0.04), 0.08);  // at the threshold
  EXPECT_DOUBLE_EQ(FrameTiming::SyncedDelay(0.04, -0.04), 0.02);
  // A short delay still has the 0.01 s threshold; ten seconds apart is no sync at all.
  EXPECT_DOUBLE_EQ(FrameTiming::SyncedDelay(0.001, 0.009), 0.001);
  EXPECT_DOUBLE_EQ(FrameTiming::SyncedDelay(0.04, 10.0), 0.04);
  EXPECT_DOUBLE_EQ(FrameTiming::SyncedDelay(0.04, NAN), 0.04);
}

TEST(FrameTimingRules, ZeroAndHugeDelaysReuseThePreviousOne) {
  FrameTiming timing;
  timing.Reset(100);
  EXPECT_DOUBLE_EQ(timing.TargetTime(0.0, NAN), 100);
  EXPECT_DOUBLE_EQ(timing.TargetTime(0.5, NAN), 100.5);
  EXPECT_DOUBLE_EQ(timing.TargetTime(0.5, NAN), 101.0);   // same time stamp: the previous 0.5 s
  EXPECT_DOUBLE_EQ(timing.TargetTime(20.5, NAN), 101.5);  // a 20 s jump: the previous 0.5 s
  EXPECT_DOUBLE_EQ(timing.TargetTime(20.6, NAN), 101.6);
  timing.Shift(2);
  EXPECT_DOUBLE_EQ(timing.TargetTime(20.7, NAN), 103.7);
}

TEST(FrameTimingRules, SkipFactorThinsDecodedFrames) {
  FrameTiming timing;
  timing.Reset(0);
  int taken = 0;
  for (int i = 0; i < 10; ++i) taken += timing.TakeFrame();
  EXPECT_EQ(taken, 10);
  for (int i = 0; i < 15; ++i) timing.Late();  // 1.05^15 is about 2
  taken = 0;
  for (int i = 0; i < 100; ++i) taken += timing.TakeFrame();
  EXPECT_NEAR(taken, 100 / timing.SkipFactor(), 2);
  for (int i = 0; i < 100; ++i) timing.Backlogged();
  EXPECT_DOUBLE_EQ(timing.SkipFactor(), 0.95);
  timing.Reset(0);
  EXPECT_DOUBLE_EQ(timing.SkipFactor(), 1);
}

TEST(FrameTimingRules, TimestampsFallBackToDecodingStampsWhenPresentationOnesAreDisordered) {
  TimestampChooser chooser;
  EXPECT_EQ(chooser.Choose(INT64_MIN, INT64_MIN), INT64_MIN);
  EXPECT_EQ(chooser.Choose(INT64_MIN, 7), 7);
  EXPECT_EQ(chooser.Choose(10, 8), 10);
  EXPECT_EQ(chooser.Choose(9, 9), 9);     // a presentation fault: decoding stamps from now on
  EXPECT_EQ(chooser.Choose(8, 10), 10);   // two presentation faults, none in decoding stamps
  TimestampChooser presentation(1);
  presentation.Choose(10, 8);
  presentation.Choose(9, 9);
  EXPECT_EQ(presentation.Choose(8, 10), 8);
}

TEST(PlayerEvents, BurstsCollapseAndAFullRingDropsTheOldest) {
  PlayerEventQueue queue;
  for (int i = 1; i <= 10; ++i) queue.Add({PlayerEvent::kPosition, 0, i * 1000});
  auto event = queue.Take();
  ASSERT_TRUE(event);
  EXPECT_EQ(event->PTS, 10000);
  EXPECT_FALSE(queue.Take());
  EXPECT_FALSE(queue.WaitForEvent(std::chrono::milliseconds(0)));

  // Alternating kinds fill the ring; it keeps the nine newest.
  for (int i = 0; i < 12; ++i) queue.Add({i % 2 ? PlayerEvent::kState : PlayerEvent::kPosition, i, i});
  int count = 0;
  std::int64_t first = -1;
  while (auto next = queue.Take()) {
    if (first < 0) first = next->PTS;
    ++count;
  }
  EXPECT_EQ(count, PlayerEventQueue::kSlots - 1);
  EXPECT_EQ(first, 3);
}

TEST(PicturePlacementRules, AspectDecidesTheRectangle) {
  int width, height;
  SurfaceSize(0, 0, 720, 576, width, height);
  EXPECT_EQ(width, 720);
  SurfaceSize(0, 0, 0, 0, width, height);
  EXPECT_EQ(height, 480);
  SurfaceSize(243, 171, 720, 576, width, height);
  EXPECT_EQ(width, 243);

  // A 16:9 PAL picture (sample aspect 64/45) in a 4:3 surface: full width, bars above and below.
  const double wide = DisplayAspect(0, 720, 576, 64.0 / 45);
  EXPECT_NEAR(wide, 16.0 / 9, 1e-9);
  SinkPlacement placement = PlacePicture(640, 480, wide);
  EXPECT_EQ(placement.Width, 640);
  EXPECT_EQ(placement.Height, 360);
  EXPECT_EQ(placement.Y, 60);
  // A 4:3 picture in a wide surface: full height, even width, centred.
  placement = PlacePicture(243, 171, DisplayAspect(0, 320, 240, 0));
  EXPECT_EQ(placement.Height, 171);
  EXPECT_EQ(placement.Width, 228);
  EXPECT_EQ(placement.X, 7);
  // A negative ratio stretches; a positive one is taken as it is.
  placement = PlacePicture(300, 100, DisplayAspect(-1, 320, 240, 1));
  EXPECT_EQ(placement.Width, 300);
  EXPECT_EQ(placement.Height, 100);
  EXPECT_DOUBLE_EQ(DisplayAspect(2.5, 320, 240, 1), 2.5);
}

TEST(DvdTimeline, JumpsBetweenCellsAreSmoothedAndTheAudioLeadKept) {
  TimelineRebase timeline(1000000);
  timeline.Expect(0);
  // Two seconds of a cell: pictures every 40 ms, sound half a second ahead.
  for (std::int64_t t = 0; t < 2000000; t += 40000) {
    EXPECT_EQ(timeline.Apply(t, 40000), t);
    EXPECT_EQ(timeline.Apply(t + 500000, 40000), t + 500000);
  }
  // The next cell starts its clock again: it follows on after the latest end.
  const std::int64_t end = 1960000 + 500000 + 40000;
  EXPECT_EQ(timeline.Apply(100000, 40000), end);
  EXPECT_EQ(timeline.Apply(600000, 40000), end + 500000);
  EXPECT_EQ(timeline.Apply(140000, 40000), end + 40000);
  EXPECT_EQ(timeline.Apply(INT64_MIN, 0), INT64_MIN);
  // After a seek the packets near the target are taken as they are.
  timeline.Expect(1000000);
  EXPECT_EQ(timeline.Apply(1200000, 40000), 1200000);
}
