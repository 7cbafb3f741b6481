#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "media/Bitmap24.h"
#include "media/NoTime.h"

// The option records a caller fills for each task and the records the engine
// component hands to its event handlers. Every field starts at its default.


struct TInputOptions {
  std::string FileName;           // empty: AddTask's file name argument
  std::string FileFormat;         // "f"; empty = detect
  std::int64_t StartTime = kNoTime;  // "ss", microseconds
  std::int32_t ProgramId = -1;    // "programid" when 0 or more
  std::string ExtOptions;         // name=value lines (LF or "<CRLF>" between them)
};

// Recording time stamp and metadata of an output.
struct TStreamInfo {
  double TimeStamp = -1.0;  // -1 none; 0 now; > 0 a local date-time (days since 1899-12-30)
  int Year = -1;
  int Track = -1;
  std::string Title, Author, Copyright, Comment, Album, Genre;
};

struct TOutputOptions {
  std::string FileName;            // empty: SetOutputFile's file name argument
  std::string FileFormat;          // "f"
  int PacketSize = -1;             // "packetsize", if > 0
  int MuxRate = -1;                // "muxrate", if > 0
  float MuxDelay = -1.0f;          // "muxdelay" seconds, if > 0
  float MuxPreload = -1.0f;        // "muxpreload" seconds, if > 0
  std::string AudioCodec;          // "acodec"
  std::string AudioPreset;         // "apre"
  bool DisableAudio = false;       // "an"
  int AudioVolume = -1;            // "vol" if >= 0 (256 = unchanged)
  int AudioChannels = -1;          // "ac", if > 0
  int AudioSampleRate = -1;        // "ar", if > 0
  int AudioBitrate = -1;           // "ab" bits/s, if > 0
  int AudioBitrateTolerance = -1;  // "abt", if > 0
  std::string AudioLanguage;       // "alang"
  int AudioSync = 0;               // "async", always applied
  std::string AudioTag;            // "atag"
  std::string VideoCodec;          // "vcodec"
  std::string VideoPreset;         // "vpre"
  bool DisableVideo = false;       // "vn"
  std::string FrameRate;           // "r"
  std::string FrameSize;           // "s"
  std::string AspectRatio;         // "aspect"
  int CropTop = -1, CropBottom = -1, CropLeft = -1, CropRight = -1;  // if > 0
  int GopSize = -1;                // "g", if > 0
  int VideoBitrate = -1;           // "vb", if > 0
  int MaxRate = -1;                // "maxrate", if > 0
  int MinRate = -1;                // "minrate", if > 0
  int BitrateTolerance = -1;       // "bt", if > 0
  int BufferSize = -1;             // "bufsize", if > 0
  int VideoSync = -1;              // "vsync", always applied
  std::string VideoTag;            // "vtag"
  std::string VideoFilters;        // "vf"
  std::string VideoLanguage;       // "vlang"
  std::string SubtitleCodec;       // "scodec"
  std::string SubtitlePreset;      // "spre"
  bool DisableSubtitle = false;    // "sn"
  std::string SubtitleLanguage;    // "slang"
  bool InputSync = false;          // "isync", always applied
  bool CopyTimestamps = false;     // "copyts"
  std::int64_t StartTime = kNoTime;      // "ss"
  std::int64_t RecordingTime = kNoTime;  // "t"
  TStreamInfo Metadata;
  int Target = 0;                  // 0 none, 1 "vcd", 2 "svcd", 3 "dvd"
  int TargetNorm = 0;              // 0 automatic, 1 PAL, 2 NTSC
  int TargetDefaultNorm = 1;       // 1 PAL, else NTSC, when the automatic norm cannot decide
  bool EnableHook = false;         // decoded frames go to OnCustomHook
  bool Join = false;               // all inputs of the task into this output
  std::string ExtOptions;          // name=value lines
};

struct TProgressInfo {
  int TaskIndex = -1;
  int FileIndex = -1;               // input being read; -1 in the final report
  int FrameNumber = 0;
  int FramesPerSecond = 0;
  float Quality = -1;
  float BitRate = 0;                // kbit/s
  std::int64_t CurrentSize = 0;     // bytes
  std::int64_t CurrentDuration = 0; // microseconds
  std::int64_t TotalDuration = -1;  // microseconds; -1 unknown
};

struct TTerminateInfo {
  int TaskIndex = -1;  // -1: every task has ended
  bool Finished = false;
  bool Exception = false;
  std::string ExceptionMsg;
};

struct THookInfo {
  int TaskIndex = -1;
  TBitmap24* Bitmap = nullptr;
  int FrameNumber = 0;
  std::int64_t PTS = 0;    // microseconds
  bool Update = true;      // write the bitmap back into the frame
  bool StopHook = false;   // no more calls for this task
};

struct TPreviewInfo {
  int TaskIndex = -1;
  const TBitmap24* Bitmap = nullptr;
  int FrameNumber = 0;
  std::int64_t PTS = 0;    // microseconds
};
