#include <gtest/gtest.h>

#include <cstdlib>

#include "app/Application.h"

// One application object for every test of a program, on the offscreen platform.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  ::testing::InitGoogleTest(&argc, argv);
  OxbelApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
