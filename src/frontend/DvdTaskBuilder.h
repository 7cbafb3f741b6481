#pragma once

#include <string>

#include "dvd/OpenDvdString.h"
#include "dvddec/dvddec.h"
#include "frontend/TargetSize.h"

class FormatParameters;
struct TFileJob;
struct TInputOptions;
struct TOutputOptions;
struct TSourcePicture;

// The picture of a DVD title as the fitting sees it: its storage size with the
// pixel shape that gives the title's display aspect (16:9 when the disc says
// so, else 4:3), so that outputs come out with square pixels.
TSourcePicture DvdTitlePicture(const DvdTitleInfo& title);

// Fills the option records of a DVD title's task as the file task builder does
// for a file, with the DVD's differences: a disc target does not complete the
// build, the picture is the title's, and a video bit rate of "as source" stays
// unset. The job's trim and hook rule apply as for files. A format of today's
// devices adds to the input's "opendvd:" name what it takes from the title:
// its chapters as chapter marks, every audio and subtitle stream.
void BuildDvdTaskOptions(const TFileJob& job, const FormatParameters& format, TOutputOptions& output,
                         const DvdTitleInfo& title, TInputOptions& input, const AskQuestion& ask);

// A full "opendvd:" name with the extras set as given; any other name unchanged.
std::string WithTitleExtras(const std::string& address, const OpenDvdExtras& extras);
