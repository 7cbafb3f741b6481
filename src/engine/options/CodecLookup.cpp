#include "engine/options/CodecLookup.h"

#include "media/EngineException.h"
#include "media/MediaUtils.h"

namespace {

// Encoders of older library versions that this platform lacks, and the one doing their job.
constexpr std::pair<const char*, const char*> kEncoderAliases[] = {
    {"libfaac", "aac"}, {"libflac", "flac"}, {"vorbis", "libvorbis"}};

std::string encoderName(const std::string& name) {
  for (const auto& [old, current] : kEncoderAliases)
    if (name == old) return current;
  return name;
}

const AVCodec* findById(AVCodecID id, bool encoder) {
  return encoder ? media::avcodec_find_encoder(id) : media::avcodec_find_decoder(id);
}

// By codec name first, then by the codec's family name ("mp3", "h264"),
// which picks the library's preferred implementation.
const AVCodec* findByName(const std::string& name, bool encoder) {
  const AVCodec* codec =
      encoder ? media::avcodec_find_encoder_by_name(name.c_str()) : media::avcodec_find_decoder_by_name(name.c_str());
  if (codec) return codec;
  const AVCodecDescriptor* descriptor = media::avcodec_descriptor_get_by_name(name.c_str());
  return descriptor ? findById(descriptor->id, encoder) : nullptr;
}

}  // namespace

const AVCodec* FindCodecByName(const std::string& name, AVMediaType kind, bool encoder, int strictness) {
  const char* role = encoder ? "encoder" : "decoder";
  const AVCodec* codec = findByName(encoder ? encoderName(name) : name, encoder);
  if (!codec) throw EngineException(StringPrintf("Unknown %s '%s'", role, name.c_str()));
  if (codec->type != kind) throw EngineException(StringPrintf("Invalid %s type '%s'", role, name.c_str()));
  if ((codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) && strictness > FF_COMPLIANCE_EXPERIMENTAL) {
    std::string text = StringPrintf(
        "%s '%s' is experimental and might produce bad results.\r\nAdd '-strict experimental' if you want to use it.",
        role, codec->name);
    // The library prefers a non-experimental codec of the same id when it has one.
    const AVCodec* other = findById(codec->id, encoder);
    if (other && !(other->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
      text += StringPrintf("\r\nOr use the non experimental %s '%s'.", role, other->name);
    throw EngineException(text);
  }
  return codec;
}
