#pragma once

#include <string>

#include "media/MediaApi.h"
#include "picture/Orientation.h"

// The first steps of every picture chain, before the frame hook and the
// subtitle burn-in draw on the picture: the decoded picture made into the one
// a viewer sees, deinterlaced and upright. A conversion's chain is these
// steps, then the burn-in and the hook, then its FittingSteps (crop, fitting,
// the encoder's pixel format); the player and the border detection run these
// steps alone. Every size computation works on their result.
// Never; Auto: only pictures that are really interlaced (a progressive
// picture merely flagged interlaced, as on many PAL film DVDs, passes
// untouched); Always: every picture.
enum class Deinterlacing { Never, Auto, Always };

struct UprightSteps {
  Deinterlacing deinterlace = Deinterlacing::Never;
  // Film woven into NTSC fields, found by a TelecineCheck (which runs only
  // when deinterlacing is asked): the fields are matched back into film
  // pictures and the repeated pictures dropped; pictures left combed (video
  // sections) are deinterlaced. The graph then needs the stream's frame rate.
  bool inverseTelecine = false;
  Orientation orientation;
  // HDR (a PQ or HLG transfer) tone mapped to SDR BT.709 for 8-bit outputs.
  bool toneMap = false;
  // When nothing draws on the picture, the tone mapping waits until the
  // picture is cropped and fitted: it costs per pixel, and the fitted picture
  // is often a tenth of the decoded one. The picture is the same either way.
  bool toneMapAfterFitting = false;

  bool Empty() const { return FilterText().empty(); }
  // The filters, in order; empty when the picture passes as decoded.
  std::string FilterText() const;
  // The tone mapping that runs after the fitting; empty when none waits.
  std::string LateFilterText() const;
  bool TonesAfterFitting() const { return toneMap && toneMapAfterFitting; }
  // Size and pixel aspect of the upright picture of a stored one.
  void Apply(int& width, int& height, AVRational& pixelAspect) const;
  // Pixel aspect of the upright picture: a quarter turn inverts it.
  AVRational PixelAspect(AVRational stored) const;
  // Pixel format of the upright picture of a stored one.
  int OutputFormat(int stored) const { return toneMap && !toneMapAfterFitting ? AV_PIX_FMT_YUV420P : stored; }
};

// The steps a video stream needs before anything draws on it, with the
// user's deinterlacing choice; Auto leaves a stream that says it is
// progressive alone.
UprightSteps UprightStepsOf(const AVStream& stream, Deinterlacing deinterlace);

// The stream's nominal frame rate: the rate of its fields' pictures when the
// container gives it, else the average; 0/1 when neither is known.
AVRational NominalFrameRate(const AVStream& stream);

// A transfer of high dynamic range: SMPTE ST 2084 (PQ) or ARIB STD-B67 (HLG).
bool IsHdrTransfer(AVColorTransferCharacteristic transfer);

// Tags an encoder's pictures as SDR BT.709, what tone mapping gives.
void TagAsBt709(AVCodecContext& encoder);

// The orientation a video stream's display matrix asks for; upright without
// one, and upright (with a log line) when it is no quarter turn.
Orientation StreamOrientation(const AVStream& stream);
