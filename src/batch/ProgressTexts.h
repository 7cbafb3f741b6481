#pragma once

#include <QString>

#include <cstdint>

// Percent of the task done (64-bit integer division); -1 when the total is unknown.
int ProgressPercent(std::int64_t currentUs, std::int64_t totalUs);
// A source for the progress window's "File:" line: captions of 51 characters
// or more become their first 44 characters, "..", and the extension with its dot.
QString ShortenedCaption(const QString& caption);
