// A picture chain that names a filter the media libraries lack fails with the
// filter's name, in the graph runner and as a conversion's failure.
#include <gtest/gtest.h>

#include "media/MediaLoader.h"
#include "testmedia/TestMedia.h"
#include "picture/FilterGraph.h"
#include "support/RunCli.h"
#include "support/TempHome.h"

namespace {

TEST(PictureFilterGraphTest, MissingFilterIsNamed) {
  ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries));
  PictureFilterGraph graph;
  EXPECT_EQ(graph.Build(64, 48, AV_PIX_FMT_YUV420P, {1, 1}, {1, 25}, "hflip,transpose=clock"), "");
  EXPECT_TRUE(graph.Built());
  for (const char* chain : {"hflip,nosuchfilter=t=linear:npl=203", "[x]nosuchfilter@one,format=yuv420p"}) {
    const std::string error = graph.Build(64, 48, AV_PIX_FMT_YUV420P, {1, 1}, {1, 25}, chain);
    EXPECT_NE(error.find("the filter \"nosuchfilter\" is not in the media libraries"), std::string::npos) << error;
    EXPECT_FALSE(graph.Built());
  }
  // A known filter with a bad argument keeps the libraries' reason.
  const std::string error = graph.Build(64, 48, AV_PIX_FMT_YUV420P, {1, 1}, {1, 25}, "transpose=sideways");
  EXPECT_EQ(error.find("is not in the media libraries"), std::string::npos) << error;
  EXPECT_NE(error.find("transpose=sideways"), std::string::npos) << error;
}

TEST(PictureFilterGraphTest, ConversionWithAMissingFilterFailsNamingIt) {
  TempHome home;
  const CliRun run = RunCli("convert -i '" + test_media::Path(test_media::Kind::Clip320) +
                            "' vf=nosuchfilter -o '" + home.file("out.mp4") + "'");
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("Error opening filters: nosuchfilter"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\"nosuchfilter\" is not in the media libraries"), std::string::npos) << run.output;
}

}  // namespace
