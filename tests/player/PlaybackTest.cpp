// Playing generated media through the real pipeline with the dummy audio
// driver: pictures, positions, states, pause, seeking and the audio clock.
#include <cmath>
#include <string>

#include "PlayerFixture.h"
#include "TestMedia.h"

using test_media::Kind;

TEST_F(PlayerTest, PlaysAClipWithPicturesPositionsAndStates) {
  EXPECT_EQ(player.CurrentFrame().Width, 0);  // nothing open
  std::int64_t framePosition = 0;
  player.CurrentFrame(&framePosition);
  EXPECT_EQ(framePosition, -1);
  EXPECT_TRUE(player.IsPaused());

  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink)) << player.LastErrorMessage();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].width, 320);
  EXPECT_EQ(opened[0].height, 240);
  EXPECT_GT(opened[0].duration, 0);
  EXPECT_EQ(player.Probe().VideoStreamInfo().Width, 320);
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 600000; }, 5));
  EXPECT_FALSE(player.IsPaused());
  EXPECT_EQ(states.front(), psPlay);
  EXPECT_GT(sink.Presented(), 10);
  // Positions come thinned to steps above 10 ms and in order.
  ASSERT_GT(positions.size(), 5u);
  for (std::size_t i = 1; i < positions.size(); ++i) EXPECT_GT(positions[i] - positions[i - 1], 10000);
  // The picture on screen at the source size, with its time.
  const TBitmap24& frame = player.CurrentFrame(&framePosition);
  EXPECT_EQ(frame.Width, 320);
  EXPECT_EQ(frame.Height, 240);
  EXPECT_NEAR(double(framePosition), double(player.Position()), 200000);
  // The clip's picture fills the 4:3 surface of the sink.
  const SinkPlacement placement = sink.Placement();
  EXPECT_EQ(placement.Width, 320);
  EXPECT_EQ(placement.Height, 240);
  // Sound and picture run together.
  EXPECT_LT(std::fabs(player.AudioVideoOffset()), 0.1);

  player.Stop(true);
  EXPECT_EQ(states.back(), psStop);
  EXPECT_EQ(player.Position(), -1);
  EXPECT_TRUE(player.IsPaused());
  EXPECT_EQ(player.CurrentFrame().Width, 0);
  EXPECT_EQ(sink.Picture(), nullptr);
}

TEST_F(PlayerTest, PauseHoldsThePictureAndResumeGoesOn) {
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 300000; }, 5));
  player.Pause();
  ASSERT_TRUE(PumpUntil([&] { return states.back() == psPause; }, 2));
  EXPECT_TRUE(player.IsPaused());
  PumpFor(0.1);
  const std::int64_t held = player.Position();
  const int presented = sink.Presented();
  PumpFor(0.4);
  EXPECT_EQ(player.Position(), held);
  EXPECT_EQ(sink.Presented(), presented);
  // A resize while paused shows the held picture again at the new size.
  sink.Resize(160, 120);
  ASSERT_TRUE(PumpUntil([&] { return sink.Placement().SurfaceWidth == 160; }, 2));
  EXPECT_EQ(sink.Picture()->Width, 160);
  player.Resume();
  ASSERT_TRUE(PumpUntil([&] { return states.back() == psResume; }, 2));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > held + 200000; }, 3));
  // Pausing alone does not jump: the position went on from where it was held.
  EXPECT_LT(player.Position(), held + 1000000);
}

TEST_F(PlayerTest, OpeningAnotherSourceEndsTheFirstBeforeTheNewOneOpens) {
  std::vector<std::string>& order = log;
  player.OnFileOpen = [&](TCustomPlayer*, std::int64_t, int, int, int&, int&) { order.push_back("open"); };
  player.OnState = [&](TCustomPlayer*, TPlayState state) {
    if (state == psPlay) order.push_back("play");
    if (state == psStop) order.push_back("stop");
  };
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 200000; }, 5));
  ASSERT_TRUE(player.Open(test_media::Path(Kind::VideoOnlyMp4), &sink));
  ASSERT_TRUE(PumpUntil([&] { return order.size() >= 5; }, 5)) << ::testing::PrintToString(order);
  EXPECT_EQ(order, (std::vector<std::string>{"open", "play", "stop", "open", "play"}));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 200000; }, 5));
}

TEST_F(PlayerTest, SoundWithoutPictureShowsTheWaveformAndCountsOnTheAudioClock) {
  ASSERT_TRUE(player.Open(test_media::Path(Kind::AudioOnlyM4a), &sink)) << player.LastErrorMessage();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].width, -1);
  EXPECT_EQ(opened[0].height, -1);
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 300000; }, 5));
  const int before = sink.Presented();
  PumpFor(0.5);
  // Refreshed every 20 ms: about 25 pictures in half a second.
  EXPECT_GT(sink.Presented() - before, 12);
  EXPECT_LT(sink.Presented() - before, 40);
  const auto picture = sink.Picture();
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Width, 320);
  const auto lit = [](const SinkPicture& p) {
    int count = 0;
    for (std::size_t i = 1; i < p.Pixels.size(); i += 4) count += p.Pixels[i] > 0x80;
    return count;
  };
  EXPECT_GT(lit(*picture), 200);  // a waveform, not a line
  EXPECT_TRUE(std::isnan(player.AudioVideoOffset()));

  // Mute: silence at once while the clock goes on (the waveform is flat).
  player.SetMute(true);
  PumpFor(0.3);
  const std::int64_t muted = player.Position();
  PumpFor(0.3);
  EXPECT_GT(player.Position(), muted + 150000);
  EXPECT_LT(lit(*sink.Picture()), picture->Width + 10);
}

TEST_F(PlayerTest, UnknownDurationIsReportedAndPositionsAreNotClamped) {
  ASSERT_TRUE(player.Open(test_media::Path(Kind::UnknownDuration), &sink)) << player.LastErrorMessage();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].duration, -1);
  ASSERT_TRUE(PumpUntil([&] { return HasState(psEnd); }, 10));
  EXPECT_GT(player.Position(), 1000000);
}

TEST_F(PlayerTest, SeekingPastTheEndLandsAtTheDurationAndAnnouncesTheEnd) {
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  const std::int64_t duration = opened.at(0).duration;
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 100000; }, 5));
  player.Seek(0, true, duration * 3);
  ASSERT_TRUE(PumpUntil([&] { return HasState(psEnd); }, 5));
  PumpFor(0.2);
  EXPECT_EQ(player.Position(), duration);
  // The stream stays open: the callers go back to the start themselves.
  player.Seek(kSeekAny, true, 0);
  player.Pause();
  ASSERT_TRUE(PumpUntil([&] { return player.Position() < 500000; }, 2));
  EXPECT_EQ(player.CurrentFrame().Width, 320);
}

TEST_F(PlayerTest, StartingPausedShowsTheFirstPictureAndAnnouncesThePause) {
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink, true));
  ASSERT_TRUE(PumpUntil([&] { return HasState(psPause); }, 5));
  EXPECT_TRUE(player.IsPaused());
  ASSERT_TRUE(PumpUntil([&] { return sink.Presented() > 0; }, 2));
  PumpFor(0.3);
  EXPECT_LT(player.Position(), 200000);
  EXPECT_EQ(player.CurrentFrame().Width, 320);
  player.Resume();
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 300000; }, 3));
}

TEST_F(PlayerTest, ABurstOfPositionsWhileTheUiIsBusyArrivesAsTheLatest) {
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return !positions.empty(); }, 5));
  // The UI thread does not pump for half a second: about 12 positions pile up.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const std::size_t before = positions.size();
  // The event thread waits with the position it took before; then comes the
  // latest of the burst.
  dispatcher.pump();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  dispatcher.pump();
  EXPECT_LE(positions.size() - before, 2u);
  EXPECT_GT(positions.back(), 400000);
}

TEST_F(PlayerTest, MissingAndUnreadableSourcesFailWithTheirReason) {
  EXPECT_FALSE(player.Open("/nonexistent/clip.mp4", &sink));
  EXPECT_NE(player.LastErrorMessage().find("/nonexistent/clip.mp4"), std::string::npos);
  EXPECT_FALSE(player.Open(test_media::Path(Kind::Truncated), &sink));
  EXPECT_FALSE(player.LastErrorMessage().empty());
  EXPECT_FALSE(player.Open(std::string(1100, 'a'), &sink));
  EXPECT_TRUE(player.IsPaused());
  EXPECT_TRUE(opened.empty());
  // The player still opens a good source afterwards.
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return sink.Presented() > 0; }, 5));
}

TEST_F(PlayerTest, PlayRangeLoopsOrStopsAtItsEnd) {
  player.PlayRangeStart = 500000;
  player.PlayRangeEnd = 400000;
  player.PlayRangeLoop = true;
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 0; }, 5));
  EXPECT_GE(player.Position(), 300000);  // started at the range's start
  // Over twice the range's length the position stays inside it.
  for (int i = 0; i < 40; ++i) {
    PumpFor(0.025);
    EXPECT_LT(player.Position(), 1100000);
  }
  player.PlayRangeLoop = false;
  ASSERT_TRUE(PumpUntil([&] { return HasState(psStop); }, 3));
}

TEST_F(PlayerTest, DisabledSoundPlaysOnTheVideoClockAndAMissingAudioDriverFailsTheOpen) {
  player.DisableAudio = true;
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 500000; }, 5));
  EXPECT_TRUE(std::isnan(player.AudioVideoOffset()));
  player.Stop(true);

  player.SetAudioDriver(TAudioDriver::adDefault);
  const char* before = getenv("SDL_AUDIODRIVER");
  const std::string saved = before ? before : "";
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_FALSE(player.Open(test_media::Path(Kind::Clip320), &sink));
  setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  EXPECT_EQ(player.LastErrorMessage().rfind("Could not initialize SDL with ScreenHandle(7): ", 0), 0u)
      << player.LastErrorMessage();
  EXPECT_TRUE(opened.size() == 1);
}

TEST_F(PlayerTest, OpeningASecondPlayerStopsTheFirst) {
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 200000; }, 5));
  TMediaPlayer editor(&dispatcher);
  editor.SetAudioDriver(TAudioDriver::adDummy);
  RecordingSink editorSink;
  ASSERT_TRUE(editor.Open(test_media::Path(Kind::Clip320), &editorSink)) << editor.LastErrorMessage();
  EXPECT_TRUE(player.IsPaused());
  EXPECT_EQ(states.back(), psStop);
  // The second one has the sound device and plays.
  ASSERT_TRUE(PumpUntil([&] { return editor.Position() > 300000; }, 5));
  EXPECT_LT(std::fabs(editor.AudioVideoOffset()), 0.1);
  editor.Stop(true);
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 200000; }, 5));
}

TEST_F(PlayerTest, SeekingWhilePausedShowsThePictureThere) {
  ASSERT_TRUE(player.Open(test_media::Path(Kind::Clip320), &sink));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 1200000; }, 5));
  player.Pause();
  PumpFor(0.2);  // the picture queue fills up behind the paused display
  player.Seek(0, true, 300000);  // returns once the picture there is decoded
  ASSERT_TRUE(PumpUntil([&] { return player.Position() < 900000; }, 2));
  EXPECT_TRUE(player.IsPaused());
  std::int64_t shown = 0;
  player.CurrentFrame(&shown);
  EXPECT_LT(shown, 900000);
}

TEST_F(PlayerTest, ResumingAfterASeekWhilePausedPlaysOnAtOnce) {
  ASSERT_TRUE(player.Open(test_media::Path(Kind::DvdPalMpeg2Ac3), &sink));
  ASSERT_TRUE(PumpUntil([&] { return player.Position() > 1000000; }, 5));
  player.Pause();
  PumpFor(0.6);
  player.Seek(kSeekBackward, true, 0);
  PumpFor(0.6);
  ASSERT_TRUE(PumpUntil([&] { return player.Position() < 500000; }, 2));
  const std::int64_t held = player.Position();
  player.Resume();
  EXPECT_TRUE(PumpUntil([&] { return player.Position() > held + 200000; }, 0.6));
}
