#include "player/PacketQueue.h"

#include <cstring>

namespace {
constexpr char kFlushData[] = "FLUSH";
constexpr int kFlushSize = 5;
}  // namespace

bool PacketQueue::IsFlush(const AVPacket* packet) {
  return packet->size == kFlushSize && packet->data && std::memcmp(packet->data, kFlushData, kFlushSize) == 0 &&
         packet->stream_index == -1;
}

void PacketQueue::Put(AVPacket* packet) {
  AVPacket* owned = media::av_packet_alloc();
  media::av_packet_move_ref(owned, packet);
  std::lock_guard lock(mutex_);
  bytes_ += owned->size + std::int64_t(sizeof(AVPacket));
  packets_.push_back(owned);
  arrived_.notify_one();
}

void PacketQueue::PutFlush() {
  AVPacket* packet = media::av_packet_alloc();
  if (media::av_new_packet(packet, kFlushSize) < 0) {
    media::av_packet_free(&packet);
    return;
  }
  std::memcpy(packet->data, kFlushData, kFlushSize);
  packet->stream_index = -1;
  Put(packet);
  media::av_packet_free(&packet);
}

void PacketQueue::PutDrain(int streamIndex) {
  AVPacket* packet = media::av_packet_alloc();
  packet->stream_index = streamIndex;
  Put(packet);
  media::av_packet_free(&packet);
}

bool PacketQueue::Get(AVPacket* packet, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!arrived_.wait_for(lock, timeout, [this] { return aborted_ || !packets_.empty(); }) || aborted_) return false;
  AVPacket* owned = packets_.front();
  packets_.pop_front();
  bytes_ -= owned->size + std::int64_t(sizeof(AVPacket));
  lock.unlock();
  media::av_packet_move_ref(packet, owned);
  media::av_packet_free(&owned);
  return true;
}

void PacketQueue::Flush() {
  std::deque<AVPacket*> packets;
  {
    std::lock_guard lock(mutex_);
    packets.swap(packets_);
    bytes_ = 0;
  }
  for (AVPacket* packet : packets) media::av_packet_free(&packet);
}

void PacketQueue::Abort() {
  std::lock_guard lock(mutex_);
  aborted_ = true;
  arrived_.notify_all();
}

int PacketQueue::Packets() const {
  std::lock_guard lock(mutex_);
  return int(packets_.size());
}

std::int64_t PacketQueue::Bytes() const {
  std::lock_guard lock(mutex_);
  return bytes_;
}
