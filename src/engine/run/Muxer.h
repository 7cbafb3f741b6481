#pragma once

#include <cstdint>
#include <vector>

#include "engine/run/InputState.h"
#include "engine/run/OutputState.h"
#include "engine/run/RunContext.h"
#include "engine/run/RunOutputs.h"
#include "media/MediaHandles.h"

// Bytes written to the output files, by kind of stream.
struct MuxedBytes {
  std::int64_t video = 0, audio = 0;
  std::int64_t extra = 0;  // headers, subtitles and data
};

// The output files' side: metadata and chapters, bitstream filters, headers,
// every packet through the interleaving writer, stream copy, trailers, and
// the files left empty. The task's thread only.
class Muxer {
 public:
  Muxer(RunContext& run, RunOutputs& outputs);

  void CopyMetadataAndChapters();
  void InitBitstreamFilters();
  void WriteHeaders();
  // Rescales from the given time base to the stream's and writes through the filters.
  void WritePacket(OutputStreamState& output, AVPacket* packet, AVRational from);
  void CopyPacket(InputStreamState& input, OutputStreamState& output, const AVPacket* packet);
  // The end of each file whose header was written.
  void WriteTrailers();
  // A file without a single packet has no track a player could show: it is
  // removed, and unless the user stopped the run, that is a failure.
  void DiscardEmptyOutputs();

  const MuxedBytes& Bytes() const { return bytes_; }

 private:
  struct ChapterSpan {
    std::int64_t start, end;
  };
  ChapterSpan ClippedChapter(std::int64_t start, std::int64_t end, AVRational timeBase) const;
  void LogSessionDescription();
  void WriteFiltered(OutputStreamState& output, AVPacket* packet);

  RunContext& run_;
  RunOutputs& outputs_;
  std::vector<bool> headerWritten_;
  std::vector<std::int64_t> packetsMuxed_;  // per output file
  MuxedBytes bytes_;
  PacketPtr copied_{media::av_packet_alloc()};  // a copied stream's packet on its way to the file
};
