#include "frontend/PictureFitting.h"

#include <cstdint>
#include <initializer_list>

#include "engine/face/EngineRecords.h"
#include "frontend/FileJob.h"
#include "frontend/SourcePicture.h"

namespace {

// The nearest extended-precision value, slightly above 4/3: the proportions a
// pan and scan cuts the picture to.
constexpr long double kFourThirds = 4.0L / 3.0L;

std::int64_t Trunc(long double value) { return static_cast<std::int64_t>(value); }

int Even(std::int64_t value) { return int(2 * (value / 2)); }

// The picture being fitted (width W in storage pixels, DW on the display,
// height H) and the target frame, with the scale ratios of both directions.
struct Fit {
  int W, H, TW, TH;
  long double DW;
  double r1 = double(DW / TW), r2 = double(static_cast<long double>(H) / TH);

  // Height of each top and bottom bar when the width fills the frame.
  int BarTopBottom() const { return 2 * ((TH - Even(Trunc(H / static_cast<long double>(r1)))) / 4); }
  // Width of each side bar when the height fills the frame.
  int BarLeftRight() const { return 2 * ((TW - Even(Trunc(DW / r2))) / 4); }
};

// "name=a:b:...", the libraries' positional filter arguments.
std::string Filter(const char* name, std::initializer_list<int> arguments) {
  std::string text = std::string(name) + "=";
  for (const int argument : arguments) text += std::to_string(argument) + ":";
  text.pop_back();
  return text;
}

std::string BlackPad(int width, int height, int x, int y) { return Filter("pad", {width, height, x, y}) + ":black"; }

// The encoded size, and square pixels for the target frame's proportions.
void SetFrame(TOutputOptions& output, int width, int height, const Fit& fit) {
  output.FrameSize = std::to_string(width) + "x" + std::to_string(height);
  output.AspectRatio = std::to_string(fit.TW) + ":" + std::to_string(fit.TH);
}

// The job's own crop, done by the engine before it scales.
void CopyCrop(const TFileJob& job, TOutputOptions& output) {
  output.CropTop = job.CropTop;
  output.CropBottom = job.CropBottom;
  output.CropLeft = job.CropLeft;
  output.CropRight = job.CropRight;
}

// The cropped picture scaled to fill the frame in one direction, with black
// bars in the other. The frame is named although the filters already give its
// size: the engine sets up the encoder (pixel aspect, DV's pixel format) for
// the size it knows when the output opens, which without one is the source's.
std::string Letterbox(const TFileJob& job, const Fit& fit, TOutputOptions& output) {
  int top = 0, left = 0;
  if (fit.r1 >= fit.r2) top = fit.BarTopBottom();
  if (fit.r1 <= fit.r2) left = fit.BarLeftRight();
  SetFrame(output, fit.TW, fit.TH, fit);
  return Filter("crop", {fit.W, fit.H, job.CropLeft, job.CropTop}) + "," +
         Filter("scale", {fit.TW - 2 * left, fit.TH - 2 * top}) + "," + Filter("pad", {fit.TW, fit.TH, left, top});
}

// The cropped picture cut further, evenly at both sides or at top and bottom,
// to the 4:3 proportions of a television screen, then scaled to the frame.
void PanAndScan(const TFileJob& job, const TSourcePicture& source, const Fit& fit, TOutputOptions& output) {
  CopyCrop(job, output);
  const long double ratio = fit.DW / fit.H;
  if (ratio > kFourThirds) {
    // The display width beyond 4:3, back in storage pixels.
    const std::int64_t half =
        Trunc((ratio - kFourThirds) * fit.H * source.SampleAspectDen / source.SampleAspectNum) / 2;
    output.CropLeft = Even(job.CropLeft + half);
    output.CropRight = Even(job.CropRight + half);
  } else if (ratio < kFourThirds) {
    const std::int64_t half = Trunc((fit.H / fit.DW - 0.75L) * fit.DW) / 2;
    output.CropTop = Even(job.CropTop + half);
    output.CropBottom = Even(job.CropBottom + half);
  }
  SetFrame(output, fit.TW, fit.TH, fit);
}

// Bars added around the whole picture by padding, case by case as the frame is
// narrower or wider and lower or higher than the picture.
std::string Center(const Fit& fit, TOutputOptions& output) {
  const int SW = fit.W, SH = fit.H, TW = fit.TW, TH = fit.TH;
  int T = 0, S = 0;
  std::string G;
  auto bars = [&](bool topBottom, bool sides) {
    if (topBottom) T = fit.BarTopBottom();
    if (sides) S = fit.BarLeftRight();
    if (topBottom && sides) {
      SetFrame(output, TW - 2 * S, TH - 2 * S, fit);
      G = BlackPad(SW + 2 * S, SH + 2 * T, S, T);
    } else if (topBottom) {
      SetFrame(output, TW, TH - 2 * S, fit);
      G = BlackPad(SW, SH + 2 * T, 0, T);
    } else {
      SetFrame(output, TW - 2 * S, TH, fit);
      G = BlackPad(SW + 2 * S, SH, S, 0);
    }
  };
  if (TW <= SW && TH >= SH) bars(true, false);
  if (TW >= SW && TH <= SH) bars(false, true);
  if (TW >= SW && TH >= SH) bars(fit.r1 >= fit.r2, fit.r1 <= fit.r2);
  if (TW <= SW && TH <= SH) {
    bars(fit.r1 >= fit.r2, fit.r1 <= fit.r2);
    // A wider picture is padded into the frame itself.
    if (fit.r1 > fit.r2) G = BlackPad(TW, TH, 0, T);
  }
  if (TW == SW && TH == SH) SetFrame(output, TW, TH, fit);
  return G;
}

}  // namespace

std::string FitPicture(const TFileJob& storedJob, const TSourcePicture& source, int targetWidth, int targetHeight,
                       TOutputOptions& output) {
  if (source.Width <= 0 || source.Height <= 0 || targetWidth <= 0 || targetHeight <= 0) return {};
  // A mode of no known name (an edited settings file, an empty DVD job mode)
  // would leave the frame size unapplied: it reads as the default, letterbox.
  TFileJob job = storedJob;
  if (job.ZoomMode != "full" && job.ZoomMode != "center" && job.ZoomMode != "pan") job.ZoomMode = "lbox";
  const Fit whole{source.Width, source.Height, targetWidth, targetHeight, source.DisplayWidth(source.Width)};
  if (job.ZoomMode == "full") {
    CopyCrop(job, output);
    SetFrame(output, targetWidth, targetHeight, whole);
    return {};
  }
  if (job.ZoomMode == "center") return Center(whole, output);
  const int W = source.Width - job.CropLeft - job.CropRight, H = source.Height - job.CropTop - job.CropBottom;
  if (W <= 0 || H <= 0) return {};
  const Fit cropped{W, H, targetWidth, targetHeight, source.DisplayWidth(W)};
  if (job.ZoomMode == "pan") {
    PanAndScan(job, source, cropped, output);
    return {};
  }
  return Letterbox(job, cropped, output);
}
