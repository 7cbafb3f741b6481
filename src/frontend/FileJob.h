#pragma once

#include <cstdint>
#include <string>

// The fields of a job record that the conversion of a file job uses, copied
// out of the row's TlvFilesRecord by the job list just before the job becomes
// an engine task (the command line fills it with the defaults below).
//
// Contract:
// - ZoomMode: the fitting mode, "full", "lbox", "pan" or "center", compared
//   exactly; any other text reads as "lbox". The driver replaces the
//   record's mode with settings "formatInfo"N/"parazoom" (default "lbox") at
//   start, and copies it after that.
// - CropTop, CropLeft, CropBottom, CropRight: pixels of the source picture (its
//   storage size) to cut from each edge, 0 or more; the crop editor keeps their
//   sum below the picture's width and height.
// - TrimStart: microseconds from the source's beginning where the conversion
//   starts; TrimLength: microseconds to convert, 0 meaning to the end.
// - NeedsHook: true when the job draws a watermark (text or picture) or changes
//   colours (brightness, contrast, saturation or exposure away from their
//   neutral values), so every decoded picture must pass the window's hook.
struct TFileJob {
  std::string ZoomMode = "lbox";
  int CropTop = 0, CropLeft = 0, CropBottom = 0, CropRight = 0;
  std::int64_t TrimStart = 0;
  std::int64_t TrimLength = 0;
  bool NeedsHook = false;
};
