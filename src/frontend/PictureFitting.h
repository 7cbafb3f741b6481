#pragma once

#include <string>

struct TFileJob;
struct TOutputOptions;
struct TSourcePicture;

// Fits the source picture into the target frame TW x TH by the job's fitting
// mode ("full", "lbox", "pan", "center"; any other mode is "lbox"): sets the
// output's FrameSize, AspectRatio and crop fields and returns the filter text
// the engine passes to the media libraries (empty when the mode needs none).
// The crop fields must hold 0 or more on entry. Proportions are judged on the
// display: a source's width counts as storage width x pixel aspect, and the
// output has square pixels. Nothing is fitted when a size is not positive.
std::string FitPicture(const TFileJob& job, const TSourcePicture& source, int targetWidth, int targetHeight,
                       TOutputOptions& output);
