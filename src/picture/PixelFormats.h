#pragma once

#include "media/MediaApi.h"

// The pixel format the picture chain hands an encoder when nobody asked for
// one: every device and general format plays 8-bit 4:2:0, so a source of more
// bits, wider chroma, alpha or RGB is brought to it where the encoder takes
// it (which also keeps H.264 at a profile phones play); an 8-bit 4:2:0 source
// keeps its own. An encoder without 4:2:0 gets the source's format and then
// the encoder's own choice.
AVPixelFormat DeliveryPixelFormat(AVPixelFormat source, const AVCodec* codec);

// The format is planar-or-packed YUV of 8 bits with chroma halved both ways
// and no alpha.
bool IsEightBit420(AVPixelFormat format);
