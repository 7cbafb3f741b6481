#pragma once

#include <QString>

#include <cstdint>

// The texts of the file information window.

// A path of 46 characters or more keeps its first 40, ".." and its extension.
QString FileInfoName(const QString& path);
// The codec word after the first "Audio:" of a probe's description, up to the
// comma after it; empty when the description has none.
QString AudioFormatOf(const QString& infoText);
// The frame rate in pictures per second ("25", "29.97"); empty when unknown.
QString FrameRateText(int numerator, int denominator);
// Pictures in the duration at that rate, rounded; empty when either is unknown.
QString TotalFramesText(std::int64_t microseconds, int numerator, int denominator);
