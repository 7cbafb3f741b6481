#pragma once

#include <QString>

#include <cstdint>

// Texts the editor windows share.

// A source name as the trim and crop editors show it: up to 50 characters
// whole, else its first 44, "..", its extension and two blanks.
QString ShortenedSourceName(const QString& name);
// Whole seconds and milliseconds: 83456789 us is "83.456 Second".
QString SecondsText(std::int64_t microseconds);
// Hours, minutes, seconds and milliseconds ("00:01:02.345").
QString TimeText(std::int64_t microseconds);
