#include <gtest/gtest.h>

#include "app/FileVersion.h"
#include "app/GlobalObject.h"

namespace {

TEST(GlobalObject, PathSettersIgnoreShortValuesOtherSettersIgnoreEmptyOnes) {
  TGlobalObject global;
  global.SetIniPath("/a/settings.ini");
  global.SetIniPath("c:\\");
  EXPECT_EQ(global.IniPath(), "/a/settings.ini");
  global.SetIniPath("/a/b");
  EXPECT_EQ(global.IniPath(), "/a/b");

  global.SetFormatIniPath("/p/oxbel3gpformat.ini");
  global.SetFormatIniPath("abc");
  EXPECT_EQ(global.FormatIniPath(), "/p/oxbel3gpformat.ini");

  global.SetProductTitle("Oxbel");
  global.SetProductTitle("");
  EXPECT_EQ(global.ProductTitle(), "Oxbel");
  global.SetVersion(" ver 1.70 ");
  global.SetVersion("");
  EXPECT_EQ(global.Version(), " ver 1.70 ");
  global.SetHelpUrl("x");
  EXPECT_EQ(global.HelpUrl(), "x");
  EXPECT_TRUE(global.DownloadUrl().isEmpty());
}

TEST(FileVersion, RunsTheLastThreeNumbersTogether) {
  EXPECT_EQ(FileVersionText(3, 3, 0, 0), " 3.300 ");
  EXPECT_EQ(FileVersionText(1, 7, 0, 0), " 1.700 ");
  EXPECT_EQ(FileVersionText(2, 10, 1, 12), " 2.10112 ");
  EXPECT_EQ(FileVersionText(), " 1.700 ");
  EXPECT_DOUBLE_EQ(FileVersionText().trimmed().toDouble(), 1.7);
}

}  // namespace
