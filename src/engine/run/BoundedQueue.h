#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

// A queue between two pipeline stages that holds at most `capacity` items, so
// a fast stage waits for a slow one instead of piling up pictures. Every wait
// takes a timeout: callers come back to check their stop flags. One producer
// and one consumer; any threads.
template <typename T>
class BoundedQueue {
 public:
  explicit BoundedQueue(std::size_t capacity) : capacity_(capacity) {}

  // Appends item when there is room within timeout; false leaves item with the caller.
  bool Push(T& item, std::chrono::milliseconds timeout) {
    std::unique_lock lock(lock_);
    if (!notFull_.wait_for(lock, timeout, [this] { return items_.size() < capacity_; })) return false;
    items_.push_back(std::move(item));
    notEmpty_.notify_one();
    return true;
  }

  // The oldest item, waiting up to timeout for one.
  std::optional<T> Pop(std::chrono::milliseconds timeout) {
    std::unique_lock lock(lock_);
    if (!notEmpty_.wait_for(lock, timeout, [this] { return !items_.empty(); })) return std::nullopt;
    std::optional<T> item(std::move(items_.front()));
    items_.pop_front();
    notFull_.notify_one();
    return item;
  }

 private:
  const std::size_t capacity_;
  // --- protected by lock_
  std::mutex lock_;
  std::condition_variable notFull_, notEmpty_;
  std::deque<T> items_;
};
