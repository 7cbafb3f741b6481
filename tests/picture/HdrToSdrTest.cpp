// HDR clips (PQ and HLG, BT.2020, as phones record by default) converted into
// 8-bit outputs look natural: reference white becomes SDR white, a mid grey
// stays a mid grey, a saturated colour keeps its hue, and the file says BT.709.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "engine/setup/EngineTask.h"
#include "media/MediaLoader.h"
#include "testmedia/MediaWriter.h"
#include "support/DecodedFrames.h"
#include "support/RunCli.h"
#include "support/TempHome.h"

namespace {

// SMPTE ST 2084 inverse EOTF: absolute luminance in cd/m2 to a signal of 0 to 1.
double Pq(double nits) {
  const double m1 = 0.1593017578125, m2 = 78.84375, c1 = 0.8359375, c2 = 18.8515625, c3 = 18.6875;
  const double l = std::pow(nits / 10000, m1);
  return std::pow((c1 + c2 * l) / (1 + c3 * l), m2);
}

// ARIB STD-B67 OETF: scene light of 0 to 1 to a signal of 0 to 1.
double Hlg(double light) {
  const double a = 0.17883277, b = 1 - 4 * a, c = 0.5 - a * std::log(4 * a);
  return light <= 1.0 / 12 ? std::sqrt(3 * light) : a * std::log(12 * light - b) + c;
}

using Rgb = std::array<double, 3>;  // signal values of the three primaries

// Three patches side by side: reference white, mid grey and a saturated red.
struct Patches {
  Rgb white, grey, red;
};

// 10-bit narrow-range BT.2020 non-constant-luminance Y'CbCr of a signal.
std::array<int, 3> Bt2020Codes(const Rgb& rgb) {
  const double y = 0.2627 * rgb[0] + 0.6780 * rgb[1] + 0.0593 * rgb[2];
  const double cb = (rgb[2] - y) / 1.8814, cr = (rgb[0] - y) / 1.4746;
  return {int(std::lround(64 + 876 * y)), int(std::lround(512 + 896 * cb)), int(std::lround(512 + 896 * cr))};
}

void DrawPatches(AVFrame& frame, const Patches& patches) {
  const Rgb* columns[] = {&patches.white, &patches.grey, &patches.red};
  for (int plane = 0; plane < 3; ++plane) {
    const int scale = plane ? 2 : 1;
    for (int y = 0; y < frame.height / scale; ++y) {
      auto* row = reinterpret_cast<std::uint16_t*>(frame.data[plane] + std::ptrdiff_t(y) * frame.linesize[plane]);
      for (int x = 0; x < frame.width / scale; ++x)
        row[x] = std::uint16_t(Bt2020Codes(*columns[std::min(2, 3 * x * scale / frame.width)])[size_t(plane)]);
    }
  }
}

// The BT.709 primaries' red in BT.2020 coordinates (its first column).
constexpr Rgb kRed709In2020{0.6274, 0.0691, 0.0164};

struct Measured {
  double whiteY, greyY;
  Rgb red;  // 0 to 255, BT.709 full-range RGB
};

Measured Measure(const std::string& path) {
  Measured measured{};
  bool first = true;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    if (!std::exchange(first, false)) return;
    auto luma = [&](int x, int y) { return double(frame.data[0][std::ptrdiff_t(y) * frame.linesize[0] + x]); };
    auto chroma = [&](int plane, int x, int y) {
      return double(frame.data[plane][std::ptrdiff_t(y / 2) * frame.linesize[plane] + x / 2]);
    };
    const int y = frame.height / 2;
    measured.whiteY = luma(frame.width / 6, y);
    measured.greyY = luma(frame.width / 2, y);
    const int x = frame.width * 5 / 6;
    const double l = (luma(x, y) - 16) / 219, cb = (chroma(1, x, y) - 128) / 224, cr = (chroma(2, x, y) - 128) / 224;
    measured.red = {255 * (l + 1.5748 * cr), 255 * (l - 0.1873 * cb - 0.4681 * cr), 255 * (l + 1.8556 * cb)};
  });
  return measured;
}

class HdrToSdr : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  std::string Source(AVColorTransferCharacteristic transfer, const Patches& patches, const std::string& name) {
    test_media::MediaSpec spec;
    spec.muxer = "mp4";
    spec.video = test_media::VideoSpec{.encoder = "libx264", .width = 192, .height = 108,
                                       .options = {{"qp", "0"}},
                                       .pixelFormat = AV_PIX_FMT_YUV420P10LE,
                                       .draw = [patches](AVFrame& frame, std::int64_t) { DrawPatches(frame, patches); },
                                       .primaries = AVCOL_PRI_BT2020, .transfer = transfer,
                                       .matrix = AVCOL_SPC_BT2020_NCL};
    spec.seconds = 0.2;
    const std::string source = home.file((name + ".mp4").c_str());
    test_media::WriteMedia(spec, source);
    return source;
  }

  std::string Convert(AVColorTransferCharacteristic transfer, const Patches& patches, const std::string& name) {
    const std::string source = Source(transfer, patches, name);
    const std::string folder = home.file("out");
    const CliRun run = RunCli("convert --format 603 -d '" + folder + "' '" + source + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return folder + "/" + name + "_(new).mp4";
  }

  TempHome home;
};

// Tolerances: SDR white is 235; 230 and up is white to the eye. The BT.2408
// grey (26 cd/m2 PQ, 38 % HLG) is about 0.13 of reference white, which the
// BT.709 curve puts near 90; 75 to 120 is a mid grey, neither dark nor washed
// out. The red keeps its hue: red well above its green and blue.
void ExpectNatural(const Measured& m) {
  EXPECT_GE(m.whiteY, 225);
  EXPECT_GE(m.greyY, 75);
  EXPECT_LE(m.greyY, 120);
  EXPECT_GT(m.red[0], 120);
  EXPECT_LT(m.red[1], m.red[0] / 3);
  EXPECT_LT(m.red[2], m.red[0] / 3);
}

TEST_F(HdrToSdr, PqAndHlgBecomeNaturalBt709) {
  const double white = Pq(203), grey = Pq(26);
  const Rgb red{Pq(100 * kRed709In2020[0]), Pq(100 * kRed709In2020[1]), Pq(100 * kRed709In2020[2])};
  const std::string pq = Convert(AVCOL_TRC_SMPTE2084, {{white, white, white}, {grey, grey, grey}, red}, "pq");
  const Measured fromPq = Measure(pq);
  SCOPED_TRACE("PQ: white " + std::to_string(fromPq.whiteY) + " grey " + std::to_string(fromPq.greyY) + " red " +
               std::to_string(fromPq.red[0]) + "," + std::to_string(fromPq.red[1]) + "," + std::to_string(fromPq.red[2]));
  ExpectNatural(fromPq);
  AVFormatContext* output = nullptr;
  ASSERT_GE(media::avformat_open_input(&output, pq.c_str(), nullptr, nullptr), 0);
  ASSERT_GE(media::avformat_find_stream_info(output, nullptr), 0);
  const AVCodecParameters* tags = output->streams[0]->codecpar;
  EXPECT_EQ(tags->color_primaries, AVCOL_PRI_BT709);
  EXPECT_EQ(tags->color_trc, AVCOL_TRC_BT709);
  EXPECT_EQ(tags->color_space, AVCOL_SPC_BT709);
  media::avformat_close_input(&output);

  // HLG: reference white at 75 % signal, the grey at 38 %.
  const Rgb hlgRed{Hlg(0.26 * kRed709In2020[0]), Hlg(0.26 * kRed709In2020[1]), Hlg(0.26 * kRed709In2020[2])};
  const Measured fromHlg = Measure(Convert(AVCOL_TRC_ARIB_STD_B67, {{0.75, 0.75, 0.75}, {0.38, 0.38, 0.38}, hlgRed}, "hlg"));
  SCOPED_TRACE("HLG: white " + std::to_string(fromHlg.whiteY) + " grey " + std::to_string(fromHlg.greyY) + " red " +
               std::to_string(fromHlg.red[0]) + "," + std::to_string(fromHlg.red[1]) + "," + std::to_string(fromHlg.red[2]));
  ExpectNatural(fromHlg);
}

// A frame hook (effects, watermark) draws on the SDR picture: tone mapping
// runs before it, so what it sees and what it draws keeps its colours. Without
// a hook the tone mapping waits until the picture is fitted; both give the
// same natural picture.
TEST_F(HdrToSdr, FrameHookSeesTheToneMappedPicture) {
  const double white = Pq(203), grey = Pq(26);
  const Rgb red{Pq(100 * kRed709In2020[0]), Pq(100 * kRed709In2020[1]), Pq(100 * kRed709In2020[2])};
  const std::string source = Source(AVCOL_TRC_SMPTE2084, {{white, white, white}, {grey, grey, grey}, red}, "hooked");
  const std::string output = home.file("hooked_out.mp4");
  TCustomEngineTask task;
  task.SetVerbosity(-1);
  ASSERT_TRUE(task.OpenInputFile(source)) << task.ErrorText();
  for (const auto& [name, value] : {std::pair{"vcodec", "libx264"}, {"s", "96x54"}}) task.ApplyOption(name, value);
  ASSERT_GE(task.OpenOutputFile(output, false), 0) << task.ErrorText();
  int hookedFormat = -1, hookedWhite = -1;
  task.SetFrameHook([&](AVFrame* frame, int, std::int64_t) {
    hookedFormat = frame->format;
    hookedWhite = frame->data[0][std::ptrdiff_t(frame->height / 2) * frame->linesize[0] + frame->width / 6];
    return true;
  });
  task.Run();
  ASSERT_TRUE(task.Finished()) << task.ErrorText();
  EXPECT_EQ(hookedFormat, AV_PIX_FMT_YUV420P);
  EXPECT_GE(hookedWhite, 225);
  ExpectNatural(Measure(output));
}

}  // namespace
