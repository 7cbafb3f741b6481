#pragma once

#include <functional>
#include <string>

#include "media/MediaApi.h"

// Decodes the best stream of a kind in a media file and hands every frame, with
// its time in seconds, to the visitor. Returns false when the file cannot be read.
bool ForEachDecodedFrame(const std::string& path, AVMediaType type,
                         const std::function<void(const AVFrame& frame, double seconds)>& visit);

// How many frames of that stream decode; -1 when the file cannot be read.
int CountDecodedFrames(const std::string& path, AVMediaType type);

// Frequency of the first audio channel of a file with planar float audio (as
// the AAC decoder gives it), from its zero crossings; -1 without audio.
double ToneFrequency(const std::string& path);
