#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <filesystem>

#include "frontend/IniFile.h"
#include "support/TempHome.h"

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  TempHome home;
  std::string path = home.file("settings.ini");
};

TEST_F(IniFileTest, MissingFileGivesDefaultsAndFirstWriteCreatesFileAndFolders) {
  const std::string nested = home.file("a/b/c/settings.ini");
  IniFile ini(nested);
  EXPECT_EQ(ini.readString("settings", "OutPutDir", "dflt"), "dflt");
  EXPECT_EQ(ini.readInteger("settings", "volume", 7), 7);
  EXPECT_TRUE(ini.readBool("lstformat", "0", true));
  EXPECT_FALSE(std::filesystem::exists(nested));

  ASSERT_TRUE(ini.writeString("settings", "OutPutDir", "/x/y"));
  EXPECT_EQ(ReadFileBytes(nested), "[settings]\nOutPutDir=/x/y\n");
}

TEST_F(IniFileTest, RoundTripsAndMatchesNamesWithoutRegardToCase) {
  IniFile ini(path);
  ASSERT_TRUE(ini.writeString("settings", "snapOutPutDir", "/snaps"));
  ASSERT_TRUE(ini.writeInteger("formatInfo201", "iVideoSize", -1));
  ASSERT_TRUE(ini.writeBool("lstformat", "3", false));

  EXPECT_EQ(ini.readString("SETTINGS", "SnapOutPutDir", ""), "/snaps");
  EXPECT_EQ(ini.readInteger("FormatInfo201", "ivideosize", 5), -1);
  EXPECT_FALSE(ini.readBool("LstFormat", "3", true));

  // Writing under another spelling updates the one key instead of adding one.
  ASSERT_TRUE(ini.writeString("Settings", "SNAPOUTPUTDIR", "/other"));
  EXPECT_EQ(ReadFileBytes(path),
            "[settings]\nsnapOutPutDir=/other\n[formatInfo201]\niVideoSize=-1\n[lstformat]\n3=0\n");
}

TEST_F(IniFileTest, IntegerAndBooleanReadsFallBackOnInvalidText) {
  WriteFileBytes(path,
                 "[s]\nword=abc\ntrail=12abc\nempty=\nhuge=99999999999\npadded=  42  \nneg=-7\nplus=+3\n"
                 "two=2\nzero=0\n");
  IniFile ini(path);
  EXPECT_EQ(ini.readInteger("s", "word", 1), 1);
  EXPECT_EQ(ini.readInteger("s", "trail", 1), 1);
  EXPECT_EQ(ini.readInteger("s", "empty", 1), 1);
  EXPECT_EQ(ini.readInteger("s", "huge", 1), 1);
  EXPECT_EQ(ini.readInteger("s", "padded", 1), 42);
  EXPECT_EQ(ini.readInteger("s", "neg", 1), -7);
  EXPECT_EQ(ini.readInteger("s", "plus", 1), 3);
  EXPECT_TRUE(ini.readBool("s", "two", false));
  EXPECT_FALSE(ini.readBool("s", "zero", true));
  EXPECT_TRUE(ini.readBool("s", "word", true));
  EXPECT_FALSE(ini.readBool("s", "word", false));
}

// A hand-edited file with every oddity: the write changes one line and nothing else.
TEST_F(IniFileTest, WriteKeepsEveryOtherByteOfAnOddFile) {
  const std::string longValue(100000, 'v');
  const std::string before = std::string("\xEF\xBB\xBF") + "orphan=1\r\n; comment line\r\n[settings]\r\n"
                             "no equals sign here\r\nFormatCode=205\r\nformatcode=999\r\nlong=" + longValue +
                             "\r\nlatin1=\xE9t\xE9\r\n\r\n[lstformat]\r\n0=1\r\n1=0";
  WriteFileBytes(path, before);
  IniFile ini(path);

  EXPECT_EQ(ini.readString("settings", "FormatCode", ""), "205");  // first duplicate wins
  EXPECT_EQ(ini.readString("settings", "long", ""), longValue);
  EXPECT_EQ(ini.readString("settings", "latin1", ""), "\xE9t\xE9");
  EXPECT_EQ(ini.readString("", "orphan", "none"), "none");
  EXPECT_EQ(ini.readInteger("lstformat", "1", 5), 0);

  ASSERT_TRUE(ini.writeString("settings", "FORMATCODE", "300"));
  std::string expected = before;
  expected.replace(expected.find("FormatCode=205"), 14, "FormatCode=300");
  EXPECT_EQ(ReadFileBytes(path), expected);

  // A new key joins its section after the section's last line, with the file's line ends.
  ASSERT_TRUE(ini.writeString("settings", "volume", "12"));
  expected.insert(expected.find("\r\n\r\n[lstformat]") + 2, "volume=12\r\n");
  EXPECT_EQ(ReadFileBytes(path), expected);

  // The last section has no final line end: the new key goes after it without adding one.
  ASSERT_TRUE(ini.writeString("lstformat", "2", "1"));
  expected += "\r\n2=1";
  EXPECT_EQ(ReadFileBytes(path), expected);

  // A new section goes at the end.
  ASSERT_TRUE(ini.writeString("formatInfo0", "paraZoom", "lbox"));
  expected += "\r\n[formatInfo0]\r\nparaZoom=lbox\r\n";
  EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST_F(IniFileTest, BomBeforeAFirstKeyLineSurvivesAnUpdate) {
  WriteFileBytes(path, "\xEF\xBB\xBF[s]\nk=1\n");
  IniFile ini(path);
  EXPECT_EQ(ini.readInteger("s", "k", 0), 1);
  ASSERT_TRUE(ini.writeInteger("s", "k", 2));
  EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBF[s]\nk=2\n");
}

TEST_F(IniFileTest, ValuesCannotInjectLinesAndBadNamesAreRefused) {
  IniFile ini(path);
  ASSERT_TRUE(ini.writeString("settings", "OutPutDir", "/a\n[settings]\r\nskinIndex=5"));
  EXPECT_EQ(ini.readInteger("settings", "skinIndex", -1), -1);
  EXPECT_EQ(ini.readString("settings", "OutPutDir", ""), "/a [settings]  skinIndex=5");

  const std::string unchanged = ReadFileBytes(path);
  EXPECT_FALSE(ini.writeString("settings", "a=b", "x"));
  EXPECT_FALSE(ini.writeString("settings", "", "x"));
  EXPECT_FALSE(ini.writeString("settings", "k\nx", "x"));
  EXPECT_FALSE(ini.writeString("sec]tion", "k", "x"));
  EXPECT_EQ(ReadFileBytes(path), unchanged);
}

TEST_F(IniFileTest, TwoWritersOfDifferentKeysLoseNothing) {
  IniFile first(path), second(path);
  ASSERT_TRUE(first.writeString("settings", "FormatCode", "201"));
  ASSERT_TRUE(second.writeString("settings", "FormatName", "Mobile"));
  ASSERT_TRUE(first.writeInteger("formatInfo201", "iVolume", 3));
  EXPECT_EQ(second.readString("settings", "FormatCode", ""), "201");
  EXPECT_EQ(first.readString("settings", "FormatName", ""), "Mobile");
  EXPECT_EQ(second.readInteger("formatInfo201", "iVolume", 0), 3);
}

size_t filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden).size(); }

// A write that fails half-way (here: the file size limit standing in for a full
// disk) leaves the old file whole and no temporary file behind.
TEST_F(IniFileTest, FailedWriteKeepsTheOldFile) {
  const std::string before = "[settings]\nOutPutDir=/keep\n";
  WriteFileBytes(path, before);
  IniFile ini(path);

  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit tiny = old;
  tiny.rlim_cur = 16;
  setrlimit(RLIMIT_FSIZE, &tiny);
  const bool written = ini.writeString("settings", "OutPutDir", std::string(4096, 'x'));
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_EQ(filesIn(home.path()), 1u);
}

TEST_F(IniFileTest, ReadOnlyFolderKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const std::string folder = home.file("ro");
  std::filesystem::create_directory(folder);
  const std::string file = folder + "/settings.ini";
  WriteFileBytes(file, "[s]\nk=1\n");
  chmod(folder.c_str(), 0555);
  IniFile ini(file);
  EXPECT_FALSE(ini.writeString("s", "k", "2"));
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(ReadFileBytes(file), "[s]\nk=1\n");
}

}  // namespace
