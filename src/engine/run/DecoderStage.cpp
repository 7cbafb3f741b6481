#include "engine/run/DecoderStage.h"

namespace {

// Queue lengths in packets and pictures: enough to even out pictures that
// take longer than others, small enough that full-size pictures stay few.
constexpr std::size_t kPacketQueue = 16;
constexpr std::size_t kPictureQueue = 6;

DecodedPicture failure() {
  DecodedPicture output;
  output.kind = DecodedPicture::Kind::Error;
  return output;
}

}  // namespace

DecoderStage::DecoderStage(AVCodecContext* decoder, TCustomEngineTask& task)
    : PipelineStage(task, kPacketQueue, kPictureQueue), decoder_(decoder) {
  Start("oxbel-decode");
}

DecoderStage::~DecoderStage() { Join(); }

void DecoderStage::Process(PacketPtr& packet) {
  if (media::avcodec_send_packet(decoder_, packet.get()) < 0) {
    Emit(failure());
    return;
  }
  ReceivePictures(true);
}

void DecoderStage::Flush() {
  media::avcodec_send_packet(decoder_, nullptr);
  ReceivePictures(false);
}

void DecoderStage::ReceivePictures(bool fromPacket) {
  for (int index = 1;; ++index) {
    if (!spare_) spare_.reset(media::av_frame_alloc());
    const int received = spare_ ? media::avcodec_receive_frame(decoder_, spare_.get()) : AVERROR(ENOMEM);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
    if (received < 0) {
      Emit(failure());
      return;
    }
    if (!Emit(DecodedPicture{DecodedPicture::Kind::Picture, std::move(spare_), index, fromPacket})) return;
  }
}
