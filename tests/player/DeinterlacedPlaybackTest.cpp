// The preview deinterlaces as the conversion does when asked to.
#include "PlayerFixture.h"

#include <mutex>

#include "testmedia/Telecine.h"
#include "picture/InterlacedClips.h"
#include "support/FilmCadence.h"
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

namespace {

// Hard-telecined film plays as its film pictures, as it converts: none
// combed, none rebuilt from one field, every film picture in order.
TEST_F(PlayerTest, TelecinedFilmPlaysAsWholeFilmPictures) {
  TempHome home;
  const std::string clip = home.file("film.mpg");
  test_media::WriteMedia(test_media::HardTelecineSpec(2), clip);
  std::mutex mutex;
  FilmCadence cadence;
  player.SetOnHook([&](TCustomPlayer*, TBitmap24& bitmap, std::int64_t) {
    const auto place = test_media::MeasureFilmBar(bitmap.Bits.data(), bitmap.Stride, bitmap.Width, bitmap.Height, 3);
    std::lock_guard lock(mutex);
    cadence.Add(place, 70 * 255.0 / 219);  // the bar's contrast in full-range RGB
  });
  player.SetHook(true);
  player.Deinterlace = Deinterlacing::Auto;
  ASSERT_TRUE(player.Open(clip, &sink)) << player.LastErrorMessage();
  EXPECT_TRUE(PumpUntil([&] { return HasState(psEnd) || HasState(psStop); }, 10));
  std::lock_guard lock(mutex);
  // A busy machine may make the player skip a few pictures; none may be combed.
  EXPECT_EQ(cadence.Faults(48, 6), "");
}

}  // namespace
