#pragma once

#include <string>
#include <vector>

// The settings both pipelines use for one profile.
struct BenchProfile {
  std::string name;
  std::string videoEncoder;
  int width = 0, height = 0;
  std::string format;                    // muxer name
  std::string presetText;                // encoder option lines "name=value"
  std::vector<std::pair<std::string, std::string>> engineOptions;  // the same settings as engine options
};

// Demux, decode, scale, encode and mux with nothing else around it: the floor
// the engine is measured against. Audio goes to AAC at the source's rate and
// layout. Throws std::runtime_error on failure.
void RunFloorPipeline(const BenchProfile& profile, const std::string& input, const std::string& output);
