#pragma once

#include "frontend/FormatTable.h"
#include "frontend/TargetSize.h"

struct TOutputOptions;
struct TSourcePicture;

// What the formats of today's devices (the format table's current targets)
// add to a conversion beyond the catalogue's lists.
namespace current_formats {

// The current target a catalogue "Format" value names; nullptr for the
// specified formats.
const format_catalogue::CurrentTarget* TargetOf(const std::string& catalogueFormat);

// The "as source" frame: the source's picture in square pixels (players of
// today show every frame size, not all of them a pixel aspect), fitted into
// the target's frame when larger; the proportions kept, sides even.
TTargetSize AsSourceSize(const format_catalogue::CurrentTarget& target, const TSourcePicture& source);

// The source's frame rate as the engine's "r" text, capped at
// kMaxSourceFrameRate; empty when the source has none or is within the cap,
// so the engine keeps its timing.
std::string CappedFrameRate(const TSourcePicture& source);

// Container, output options (with the engine's "keepsurround" where the target
// keeps surround sound, "everystream" where it keeps every track of a file),
// and the video encoder's current options and MP4 tag for the stored encoder
// (nullptr row: none of them).
void ApplyTarget(const format_catalogue::CurrentTarget& target, const format_catalogue::EncoderRow* videoEncoder,
                 TOutputOptions& output);

}  // namespace current_formats
