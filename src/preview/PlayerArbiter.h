#pragma once

#include <functional>

// Keeps one player of the window open at a time: whoever opens a player
// claims it first, and the player that held the claim is stopped. The
// preview pane and the editors' players share one arbiter. UI thread only.
class PlayerArbiter {
 public:
  // `stop` stops the owner's player when another claims.
  void Claim(const void* owner, std::function<void()> stop = {});
  // The owner's player stopped by itself.
  void Release(const void* owner);

 private:
  const void* owner_ = nullptr;
  std::function<void()> stop_;
};
