// The preview deinterlaces as the conversion does when asked to.
#include "PlayerFixture.h"
#include "picture/InterlacedClips.h"
#include "support/TempHome.h"

namespace {

using namespace interlaced_clips;

TEST_F(PlayerTest, InterlacedClipShowsWithoutCombsWhenDeinterlaced) {
  TempHome home;
  const std::string clip = WriteBarClip(true, home.file("tv.mpg"));
  auto shownCombs = [&](Deinterlacing deinterlace) {
    states.clear();
    player.Deinterlace = deinterlace;
    EXPECT_TRUE(player.Open(clip, &sink, true)) << player.LastErrorMessage();
    EXPECT_TRUE(PumpUntil([&] { return HasState(psPause) && sink.Presented() > 0; }, 5));
    PumpFor(0.2);
    const TBitmap24& picture = player.CurrentFrame();
    const double ratio = CombRatio(picture.Bits.data(), picture.Stride, picture.Width, picture.Height, 3);
    player.Stop(true);
    return ratio;
  };
  EXPECT_GT(shownCombs(Deinterlacing::Never), 1.3);
  EXPECT_LE(shownCombs(Deinterlacing::Always), 1.0);
  EXPECT_LE(shownCombs(Deinterlacing::Auto), 1.0);
}

}  // namespace
