#include <gtest/gtest.h>

#include <filesystem>

#include "frontend/DestinationPath.h"
#include "support/TempHome.h"

namespace {

TEST(DestinationPath, TakesTheFirstFreeNumber) {
  TempHome home;
  const std::string folder = home.path().toStdString() + "/out";
  std::filesystem::create_directories(folder);
  EXPECT_EQ(MakeDestinationPath(folder, "/videos/clip.avi", "_ipod.mp4"), folder + "/clip_(new)_ipod.mp4");
  WriteFileBytes(folder + "/clip_(new)_ipod.mp4", "x");
  WriteFileBytes(folder + "/clip_(new_1)_ipod.mp4", "x");
  EXPECT_EQ(MakeDestinationPath(folder + "/", "/videos/clip.avi", "_ipod.mp4"), folder + "/clip_(new_2)_ipod.mp4");

  // At conversion start the suffix is only the extension.
  WriteFileBytes(folder + "/clip_(new).mp4", "x");
  EXPECT_EQ(MakeDestinationPath(folder, "/videos/clip.avi", ".mp4"), folder + "/clip_(new_1).mp4");
  EXPECT_EQ(MakeDestinationPath(folder, "/videos/my.holiday.mkv", ".3gp"), folder + "/my.holiday_(new).3gp");
}

TEST(DestinationPath, FiveConversionsOfOneSourceGetFiveNames) {
  TempHome home;
  const std::string folder = home.path().toStdString();
  std::vector<std::string> names;
  for (int i = 0; i < 5; ++i) {
    names.push_back(MakeDestinationPath(folder, "/videos/clip.avi", "_ipod.mp4"));
    WriteFileBytes(names.back(), "x");
  }
  EXPECT_EQ(names.front(), folder + "/clip_(new)_ipod.mp4");
  EXPECT_EQ(names.back(), folder + "/clip_(new_4)_ipod.mp4");
  for (const auto& name : names) {
    EXPECT_EQ(name.find("_ipod.mp4"), name.size() - 9) << name;
    EXPECT_EQ(name.find("_ipod"), name.rfind("_ipod")) << name;
  }
}

}  // namespace
