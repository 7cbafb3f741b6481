// The preview shows a clip stored sideways upright, as it gets converted.
#include "PlayerFixture.h"
#include "picture/TurnedClips.h"
#include "support/TempHome.h"

namespace {

using namespace turned_clips;

TEST_F(PlayerTest, TurnedClipsShowUprightInThePictureAndTheSnapshot) {
  TempHome home;
  for (const Turn& turn : {kTurns[1], kTurns[2], kTurns[6]}) {
    SCOPED_TRACE(turn.name);
    const std::string clip = WriteTurnedClip(turn, home.file("turned.mp4"));
    opened.clear();
    states.clear();
    ASSERT_TRUE(player.Open(clip, &sink, true)) << player.LastErrorMessage();
    ASSERT_TRUE(PumpUntil([&] { return HasState(psPause) && sink.Presented() > 0; }, 5));
    PumpFor(0.2);
    const bool sideways = turn.matrix[0] == 0;
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].width, sideways ? 112 : 192);
    EXPECT_EQ(opened[0].height, sideways ? 192 : 112);
    const auto expected = ShownSide(turn.matrix, -1, -1);
    const auto picture = sink.Picture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width < picture->Height, sideways);
    EXPECT_EQ(BrightSide(picture->Pixels.data(), picture->Stride, picture->Width, picture->Height, 4), expected);
    const TBitmap24& snapshot = player.CurrentFrame();
    EXPECT_EQ(snapshot.Width, sideways ? 112 : 192);
    EXPECT_EQ(BrightSide(snapshot.Bits.data(), snapshot.Stride, snapshot.Width, snapshot.Height, 3), expected);
    player.Stop(true);
  }
}

}  // namespace
