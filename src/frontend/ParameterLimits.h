#pragma once

// What the parameter panel, the settings dialog and the task builders accept
// for the stored output parameters, and the messages that refuse the rest.
// Values outside these ranges give no file anyone can play (a frame rate of
// 0.0001 is a video track of months), so they are refused before converting.
namespace parameter_limits {

constexpr const char* kVideoBitRateInvalid = "Video BitRate is not a valid value!";
constexpr const char* kSampleRateInvalid = "Audio SampleRate is not a valid value!";
constexpr const char* kAudioBitRateInvalid = "Audio BitRate is not a valid value!";
constexpr const char* kFrameSizeInvalid = "Frame Size is not a valid value!";
constexpr const char* kFrameRateInvalid = "Frame Rate is not a valid value!";
constexpr const char* kChannelsInvalid = "Audio Channels is not a valid value!";
constexpr const char* kVolumeInvalid = "Volume is not a valid value!";

constexpr long double kMinFrameRate = 1, kMaxFrameRate = 1000;
constexpr int kMinSampleRate = 1000, kMaxSampleRate = 384000;
constexpr long double kMinAudioKbits = 1, kMaxAudioKbits = 10000;
constexpr int kMinFrameSide = 16, kMaxFrameSide = 8192;
constexpr int kMaxChannels = 8;
constexpr int kMaxVolume = 1024;  // 400 %, the top of the volume lists

}  // namespace parameter_limits
