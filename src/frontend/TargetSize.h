#pragma once

#include <functional>
#include <string>

struct TSourcePicture;

// Asks the user a question with Yes and No buttons and a question icon; true
// for Yes. The window routes it to its message boxes, tests answer it.
using AskQuestion = std::function<bool(const std::string& caption, const std::string& text)>;

struct TTargetSize {
  int Width = 0, Height = 0;
};

// The frame size to encode from the stored frame size text ("320x240" or "as
// source"): a part that is not a whole number above 0 is the source's; a
// non-standard size for the "h263" encoder snaps to a standard one; a text
// without a usable "x" asks whether to use 320x240 (No: the source's size),
// snapped for "h263" too. A stored part outside 16 to 8192 throws
// std::invalid_argument with the frame size message.
TTargetSize ChooseTargetSize(const std::string& sizeText, const std::string& videoCodec,
                             const TSourcePicture& source, const AskQuestion& ask);
