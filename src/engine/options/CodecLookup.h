#pragma once

#include <string>

#include "media/MediaApi.h"

// Finds an encoder or decoder by name for a kind of stream. Names of encoders
// this platform lacks are mapped ("libfaac" -> "aac", "libflac" -> "flac",
// "vorbis" -> "libvorbis"). Raises EngineException with "Unknown %s '%s'",
// "Invalid %s type '%s'" or the experimental-codec text.
const AVCodec* FindCodecByName(const std::string& name, AVMediaType kind, bool encoder, int strictness);
