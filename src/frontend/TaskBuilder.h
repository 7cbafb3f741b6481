#pragma once

#include "frontend/TargetSize.h"

class FormatParameters;
class TCustomMediaProbe;
struct TFileJob;
struct TInputOptions;
struct TOutputOptions;
struct TSourcePicture;

// Where the kinds of source are built differently. A file whose format names a
// disc target is complete once the target is set; a DVD title goes on with the
// codecs, rates and picture. A format whose video bit rate is "as source" (or
// no number) takes a file's own bit rate; a DVD title leaves it to the encoder.
struct SourceRules {
  bool discTargetCompletes = true;
  bool sourceBitRateFallback = true;
};

// Turns one file job into the engine's option records just before it becomes
// an engine task: the output container, codecs, rates and sizes of the format
// the user chose, the picture fitted into the frame size by the job's fitting
// mode, and the job record's trim, crop and hook (ApplyJobRecord).
//
// `output` and `input` come initialised to the engine defaults, with their file
// names set; fields the builder does not decide keep those defaults. `ask`
// gets the question about an unusable frame size. Throws std::invalid_argument
// with the message "'TEXT' is not a valid integer value" when the stored volume
// is not a whole number; the batch then fails with that message. Plain C++,
// usable from the window and the command line; not thread-safe for one format.
void BuildTaskOptions(const TFileJob& job, const FormatParameters& format, TOutputOptions& output,
                      const TSourcePicture& source, TInputOptions& input, const AskQuestion& ask,
                      const SourceRules& rules = {});
// The same with the picture read from a probe loaded with the job's source.
void BuildTaskOptions(const TFileJob& job, const FormatParameters& format, TOutputOptions& output,
                      TCustomMediaProbe& probe, TInputOptions& input, const AskQuestion& ask);

// What the job record adds: the trim start becomes the input's start time, a
// trim length the output's recording time, and a job with a watermark or
// colour effects enables the engine's frame hook when the output has a
// picture; the caller then connects its hook handler.
void ApplyJobRecord(const TFileJob& job, TInputOptions& input, TOutputOptions& output);
