#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "media/Dispatcher.h"
#include "media/MediaLoader.h"
#include "player/MediaPlayer.h"
#include "RecordingSink.h"

// A player on the test thread as its UI thread, with every event recorded.
class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(player.LoadLibraries("")) << player.LastErrorMessage();
    player.SetAudioDriver(TAudioDriver::adDummy);
    player.OnFileOpen = [this](TCustomPlayer*, std::int64_t duration, int width, int height, int&, int&) {
      opened.push_back({duration, width, height});
    };
    player.OnPosition = [this](TCustomPlayer*, std::int64_t pts) { positions.push_back(pts); };
    player.OnState = [this](TCustomPlayer*, TPlayState state) { states.push_back(state); };
  }
  void TearDown() override { player.Stop(true); }

  // Runs the UI side until the condition holds or the time is over.
  bool PumpUntil(const std::function<bool()>& condition, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      dispatcher.pump();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
  void PumpFor(double seconds) {
    PumpUntil([] { return false; }, seconds);
  }
  bool HasState(TPlayState state) const {
    for (TPlayState s : states)
      if (s == state) return true;
    return false;
  }

  struct Opened {
    std::int64_t duration;
    int width, height;
  };
  QueueDispatcher dispatcher;
  RecordingSink sink;
  TMediaPlayer player{&dispatcher};
  std::vector<Opened> opened;
  std::vector<std::int64_t> positions;
  std::vector<TPlayState> states;
  std::vector<std::string> log;  // for tests that record their own order of events
};
