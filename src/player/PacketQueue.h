#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "media/MediaApi.h"

// Demultiplexed packets of one stream on their way to its decoder. After a
// seek the read thread queues the flush packet (data "FLUSH") so the decoder
// knows to drop what it holds. Any thread; the queue has its own lock.
class PacketQueue {
 public:
  PacketQueue() = default;
  ~PacketQueue() { Flush(); }
  PacketQueue(const PacketQueue&) = delete;
  PacketQueue& operator=(const PacketQueue&) = delete;

  // Takes over the packet's reference.
  void Put(AVPacket* packet);
  void PutFlush();
  // An empty packet: the decoder is to give out what it still holds.
  void PutDrain(int streamIndex);
  // Waits up to the time for a packet; false when none came. The packet
  // receives the reference; IsFlush tells the flush packet apart.
  bool Get(AVPacket* packet, std::chrono::milliseconds timeout);
  void Flush();
  void Abort();  // wakes the waiting reader for good

  int Packets() const;
  std::int64_t Bytes() const;

  static bool IsFlush(const AVPacket* packet);

 private:
  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<AVPacket*> packets_;  // guarded by mutex_; owned
  std::int64_t bytes_ = 0;         // guarded by mutex_
  bool aborted_ = false;           // guarded by mutex_
};
