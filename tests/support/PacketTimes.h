#pragma once

#include <string>

#include "media/MediaApi.h"

// The time in seconds at which the last packet of the best stream of a kind in
// a media file ends (its presentation time plus its duration), from the
// container alone; -1 when the file or the stream cannot be read.
double PacketEndSeconds(const std::string& path, AVMediaType type);
