#pragma once

#include <deque>
#include <vector>

#include "engine/run/InputState.h"
#include "engine/run/RunContext.h"

// The run's input files and streams: their records, the choice of a stream
// for an output, the decoders, and a DVD subpicture stream that appears while
// reading. The task's thread only.
class RunInputs {
 public:
  explicit RunInputs(RunContext& run);
  ~RunInputs();
  RunInputs(const RunInputs&) = delete;
  RunInputs& operator=(const RunInputs&) = delete;

  // A record for every stream of every input file.
  void Build();
  // The stream of the output's kind that the libraries rank best (most frames
  // seen while probing), in the given input file or the first that has one.
  int ChooseStream(AVMediaType type, int group) const;
  // Opens a decoder for every stream that needs one and has none yet.
  void OpenDecoders();
  // The record of a packet's stream; nullptr for a stream the demuxer added
  // after the file was opened, unless it is the chosen DVD subpicture stream
  // or was added with AddLateStream.
  InputStreamState* PacketStream(int file, int index);
  // A record for a stream the demuxer added while reading, read by some
  // output; its index.
  int AddLateStream(int file, int index);
  // The stream of the given kind whose demuxer id is `id`, -1 when none is known yet.
  int FindById(AVMediaType type, int id) const;
  // The record of stream `index` of input `file`.
  int StreamIndexOf(int file, int index) const { return files_[size_t(file)].firstStream + index; }

  InputStreamState& Stream(int index) { return streams_[size_t(index)]; }
  std::deque<InputStreamState>& Streams() { return streams_; }
  InputFileState& File(int index) { return files_[size_t(index)]; }
  std::vector<InputFileState>& Files() { return files_; }
  int FileCount() const { return int(files_.size()); }
  // Whether a file had no packet ready when last read.
  bool AnyParked() const;
  void Unpark();

 private:
  InputStreamState* TakeLateBurnIn(int file, int index);

  RunContext& run_;
  // A deque: a stream found while reading is appended, and pictures waiting
  // for the burn-in keep pointers to the records.
  std::deque<InputStreamState> streams_;
  std::vector<InputFileState> files_;
};
