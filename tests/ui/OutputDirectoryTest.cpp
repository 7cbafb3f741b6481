#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "frontend/IniFile.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"
#include "ui/OutputDirectory.h"

namespace {

TEST(OutputDirectory, MissingSettingCreatesTheDefaultFolderWithoutAWarning) {
  TempHome home;
  ScriptedPrompts prompts;
  IniFile settings(home.settingsPath().toStdString());
  EXPECT_EQ(EnsureOutputFolder(settings, "OutPutDir", nullptr), home.path() + "/clipforge");
  EXPECT_TRUE(QFileInfo(home.path() + "/clipforge").isDir());
  EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST(OutputDirectory, ConfiguredFolderIsCreatedWithItsParents) {
  TempHome home;
  ScriptedPrompts prompts;
  IniFile settings(home.settingsPath().toStdString());
  const QString deep = home.path() + "/out/a/b";
  settings.writeString("settings", "OutPutDir", deep.toStdString());
  EXPECT_EQ(EnsureOutputFolder(settings, "OutPutDir", nullptr), deep);
  EXPECT_TRUE(QFileInfo(deep).isDir());
  EXPECT_TRUE(prompts.asked.isEmpty());
}

// A folder below a regular file can never be created: warn once, fall back to
// the default folder and remember it, for both the output and snapshot keys.
TEST(OutputDirectory, ImpossibleFolderWarnsOnceAndFallsBackToTheDefault) {
  for (const char* key : {"OutPutDir", "SnapOutPutDir"}) {
    TempHome home;
    ScriptedPrompts prompts;
    WriteFileBytes(home.file("plain-file"), "x");
    const QString impossible = home.path() + "/plain-file/videos";
    IniFile settings(home.settingsPath().toStdString());
    settings.writeString("settings", key, impossible.toStdString());

    const QString fallback = home.path() + "/clipforge";
    EXPECT_EQ(EnsureOutputFolder(settings, key, nullptr), fallback);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].caption, "Warning");
    EXPECT_EQ(prompts.asked[0].text, "Cannot create output directory:" + impossible +
                                         ".It will create default directory " + fallback + "!");
    EXPECT_EQ(prompts.asked[0].buttons, PromptButtons::Ok);
    EXPECT_TRUE(QFileInfo(fallback).isDir());
    EXPECT_EQ(QString::fromStdString(settings.readString("settings", key, "")), fallback);

    EXPECT_EQ(EnsureOutputFolder(settings, key, nullptr), fallback);
    EXPECT_EQ(prompts.asked.size(), 1) << key;
  }
}

}  // namespace
