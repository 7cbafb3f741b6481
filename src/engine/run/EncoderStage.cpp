#include "engine/run/EncoderStage.h"

namespace {

// Queue lengths in frames and packets.
constexpr std::size_t kFrameQueue = 64;
constexpr std::size_t kPacketQueue = 64;

}  // namespace

EncoderStage::EncoderStage(AVCodecContext* encoder, TCustomEngineTask& task)
    : PipelineStage(task, kFrameQueue, kPacketQueue), encoder_(encoder) {
  Start("oxbel-encode");
}

EncoderStage::~EncoderStage() { Join(); }

void EncoderStage::Process(FramePtr& frame) { Encode(frame.get()); }

void EncoderStage::Flush() { Encode(nullptr); }

void EncoderStage::Encode(const AVFrame* frame) {
  const int sent = media::avcodec_send_frame(encoder_, frame);
  if (sent < 0 && sent != AVERROR_EOF) {
    Emit(EncodedPacket{EncodedPacket::Kind::Error, nullptr, {}});
    return;
  }
  while (true) {
    if (!spare_) spare_.reset(media::av_packet_alloc());
    const int received = spare_ ? media::avcodec_receive_packet(encoder_, spare_.get()) : AVERROR(ENOMEM);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
    if (received < 0) {
      Emit(EncodedPacket{EncodedPacket::Kind::Error, nullptr, {}});
      return;
    }
    std::string stats = encoder_->stats_out ? encoder_->stats_out : "";
    if (!Emit(EncodedPacket{EncodedPacket::Kind::Packet, std::move(spare_), std::move(stats)})) return;
  }
}
