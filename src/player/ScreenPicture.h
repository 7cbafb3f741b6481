#pragma once

#include <memory>

#include "media/MediaApi.h"
#include "player/VideoSink.h"

// A black screen picture of that size.
std::shared_ptr<SinkPicture> NewScreenPicture(int width, int height);

// Scales a decoded picture into a screen picture (bicubic, the screen
// picture's size); the scaler is kept for the next call. False when the
// libraries have no conversion for the frame's format.
bool ScaleForScreen(SwsContext*& scaler, const AVFrame* frame, SinkPicture& picture);
