#pragma once

#include <cstdint>

class QEvent;
class QSlider;
class TCustomPlayer;

// A player's seek bar that does not follow playback: its range is its width in
// pixels, and a release of the left button over it seeks to its share of the
// duration. Shared by the preview pane and the editors. UI thread only.

// After a source opened: at 0 (without a seek), usable only for a known duration.
void ResetSeekBar(QSlider& bar, std::int64_t duration);
// Seeks the player when event is the left button's release over the bar.
void SeekOnRelease(const QEvent& event, const QSlider& bar, TCustomPlayer& player, std::int64_t duration);
