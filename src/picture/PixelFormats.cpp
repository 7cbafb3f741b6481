#include "picture/PixelFormats.h"

bool IsEightBit420(AVPixelFormat format) {
  const AVPixFmtDescriptor* descriptor = media::av_pix_fmt_desc_get(format);
  return descriptor && descriptor->nb_components == 3 && descriptor->comp[0].depth == 8 &&
         descriptor->log2_chroma_w == 1 && descriptor->log2_chroma_h == 1 &&
         !(descriptor->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_ALPHA | AV_PIX_FMT_FLAG_PAL));
}

AVPixelFormat DeliveryPixelFormat(AVPixelFormat source, const AVCodec* codec) {
  if (source == AV_PIX_FMT_NONE || IsEightBit420(source)) return source;
  if (!codec || !codec->pix_fmts) return AV_PIX_FMT_YUV420P;
  for (const AVPixelFormat* format = codec->pix_fmts; *format != AV_PIX_FMT_NONE; ++format)
    if (*format == AV_PIX_FMT_YUV420P) return AV_PIX_FMT_YUV420P;
  return source;
}
