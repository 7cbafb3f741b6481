// The player window driven by real key presses.
#include <gtest/gtest.h>

#include <QTest>

#include "preview/PlayerWindow.h"
#include "support/WaitFor.h"
#include "TestMedia.h"

TEST(PlayerWindowKeys, SpacePausesAndResumesHomeGoesBackToTheStart) {
  TPlayerWindow window(TAudioDriver::adDummy);
  window.show();
  ASSERT_TRUE(window.Play(test_media::Path(test_media::Kind::Clip320))) << window.LastErrorMessage();
  TMediaPlayer& player = window.Player();
  ASSERT_TRUE(waitFor([&] { return player.Position() > 700000; }));

  QTest::keyClick(&window, Qt::Key_Space);
  EXPECT_TRUE(player.IsPaused());
  QTest::keyClick(&window, Qt::Key_Home);
  ASSERT_TRUE(waitFor([&] { return player.Position() >= 0 && player.Position() < 300000; }, 3000));
  const std::int64_t held = player.Position();
  QTest::qWait(300);
  EXPECT_EQ(player.Position(), held);

  QTest::keyClick(&window, Qt::Key_Space);
  EXPECT_FALSE(player.IsPaused());
  EXPECT_TRUE(waitFor([&] { return player.Position() > held + 200000; }, 3000));
}
