#include "preview/PlayerArbiter.h"

#include <utility>

void PlayerArbiter::Claim(const void* owner, std::function<void()> stop) {
  if (owner_ != owner && stop_) std::exchange(stop_, nullptr)();
  owner_ = owner;
  stop_ = std::move(stop);
}

void PlayerArbiter::Release(const void* owner) {
  if (owner_ != owner) return;
  owner_ = nullptr;
  stop_ = nullptr;
}
