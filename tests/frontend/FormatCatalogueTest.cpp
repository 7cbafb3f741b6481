#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include "frontend/IniFile.h"
#include "settings/FormatCatalogue.h"
#include "support/TempHome.h"
#include "ui/AppPaths.h"

namespace {

namespace fc = format_catalogue;

QString catalogueValue(const IniFile& catalogue, int code, const char* key) {
  return QString::fromStdString(catalogue.readString(fc::SectionName(code).toStdString(), key, "null"));
}

// The eight groups of 39 names, then the five groups of today's formats.
TEST(FormatNames, EightGroupsOf39NamesThenTheCurrentGroupsFillTheTable) {
  FormatNameTable table;
  table.fill();
  int specified = 0, current = 0;
  for (int g = 0; g < fc::kTableSize; ++g)
    for (int p = 0; p < fc::kTableSize; ++p)
      if (!table.name(g, p).isEmpty()) ++(g < 8 ? specified : current);
  EXPECT_EQ(specified, 39);
  EXPECT_EQ(current, 11);
  EXPECT_EQ(table.name(8, 0), "Phone and Tablet H.264 HD 720p (*.mp4)");
  EXPECT_EQ(table.name(12, 1), "FLAC Lossless Audio (*.flac)");
  EXPECT_EQ(table.name(2, 0), "Mobile Phone 3GP h263 Video(*.3gp)");
  EXPECT_EQ(table.name(7, 6), "AC-3 Audio Codec (*.ac3)");
  EXPECT_TRUE(table.name(7, 7).isEmpty());
  EXPECT_EQ(QString::fromLatin1(fc::groups()[6].caption), "General Video formates");
  table.clear();
  EXPECT_TRUE(table.name(2, 0).isEmpty());

  EXPECT_EQ(fc::SectionName(201), "formatInfo201");
  EXPECT_EQ(fc::OutputFormatComboItems().size(), 16);
}

TEST(FormatNames, ItemListsSplitAtEveryCommaWithoutTrimming) {
  EXPECT_TRUE(fc::SplitItemList("null").isEmpty());
  EXPECT_TRUE(fc::SplitItemList("").isEmpty());
  EXPECT_EQ(fc::SplitItemList("176x144,320x240,"), (QStringList{"176x144", "320x240", ""}));
  EXPECT_EQ(fc::SplitItemList("a, b"), (QStringList{"a", " b"}));
}

TEST(FormatNames, MissingSectionGivesTheMp4Extension) {
  TempHome home;
  WriteFileBytes(home.file("catalogue.ini"), "[formatInfo0]\nFileExt=3gp\n");
  const IniFile catalogue(home.file("catalogue.ini"));
  EXPECT_EQ(fc::FileExtension(catalogue, 0), "3gp");
  EXPECT_EQ(fc::FileExtension(catalogue, 601), "mp4");
}

// The installed catalogue describes every compiled format consistently.
class InstalledCatalogue : public ::testing::Test {
 protected:
  IniFile catalogue{(app_paths::programFolder() + "oxbel3gpformat.ini").toStdString()};
  std::vector<std::pair<int, QString>> formats() const {
    std::vector<std::pair<int, QString>> all;
    for (const auto& format : fc::AllFormats()) all.emplace_back(format.code, QString::fromUtf8(format.name));
    return all;
  }
};

TEST_F(InstalledCatalogue, HasExactlyTheSectionsOfThe39Formats) {
  const std::string text = ReadFileBytes(catalogue.path());
  ASSERT_FALSE(text.empty());
  QSet<QString> sections;
  const QRegularExpression header(QStringLiteral("^\\[([^\\]]+)\\]"), QRegularExpression::MultilineOption);
  for (auto it = header.globalMatch(QString::fromStdString(text)); it.hasNext();) sections.insert(it.next().captured(1));
  QSet<QString> expected;
  for (const auto& [code, name] : formats()) expected.insert(fc::SectionName(code));
  EXPECT_EQ(sections, expected);
}

TEST_F(InstalledCatalogue, ExtensionsMatchTheDisplayNames) {
  const QRegularExpression extension(QStringLiteral("\\(\\*\\.(\\w+)\\)$"));
  for (const auto& [code, name] : formats()) {
    const auto match = extension.match(name);
    ASSERT_TRUE(match.hasMatch()) << name.toStdString();
    EXPECT_EQ(catalogueValue(catalogue, code, "FileExt"), match.captured(1)) << name.toStdString();
    EXPECT_NE(catalogueValue(catalogue, code, "Format"), "null") << name.toStdString();
  }
}

TEST_F(InstalledCatalogue, EveryListParsesAndEveryDefaultIndexLiesInsideIt) {
  const std::pair<const char*, const char*> lists[] = {
      {"VideoSize", "iVideoSize"},     {"VideoBitRate", "iVideoBitRate"}, {"FrameRate", "iFrameRate"},
      {"VideoEncoder", "iVideoEncoder"}, {"AudioBitRate", "iAudioBitRate"}, {"SampleRate", "iSampleRate"},
      {"AudioEncoder", "iAudioEncoder"}, {"Channel", "iChannel"},           {"Volume", "iVolume"}};
  for (const auto& [code, name] : formats()) {
    const bool audioOnly = fc::SplitItemList(catalogueValue(catalogue, code, "VideoEncoder")).isEmpty();
    for (const auto& [listKey, indexKey] : lists) {
      const QStringList items = fc::SplitItemList(catalogueValue(catalogue, code, listKey));
      const std::string where = name.toStdString() + " " + listKey;
      const bool videoList = QString(listKey).startsWith("Video") || QString(listKey) == "FrameRate";
      EXPECT_EQ(items.isEmpty(), audioOnly && videoList) << where;
      for (const QString& item : items) EXPECT_EQ(item, item.trimmed()) << where;
      EXPECT_FALSE(items.contains(QString())) << where;
      const int index = catalogue.readInteger(fc::SectionName(code).toStdString(), indexKey, -1);
      if (items.isEmpty()) {
        EXPECT_EQ(index, 0) << where;
      } else {
        EXPECT_GE(index, 0) << where;
        EXPECT_LT(index, items.size()) << where;
      }
    }
    const QStringList volumes = fc::SplitItemList(catalogueValue(catalogue, code, "Volume"));
    const int volumeIndex = catalogue.readInteger(fc::SectionName(code).toStdString(), "iVolume", -1);
    EXPECT_EQ(volumes.value(volumeIndex), "100%") << name.toStdString();
  }
}

}  // namespace

#include <QImage>

#include "settings/FormatIcons.h"

namespace {

// The picker draws each group's icon from the picture its table row names:
// the eight groups get eight different icons, and a group number past the
// table shows the last group's.
TEST(FormatNames, EachGroupRowDrawsItsOwnPicture) {
  QSet<QByteArray> drawn;
  const int groups = int(fc::groups().size());
  for (int group = 0; group < groups; ++group) {
    const QImage icon = GroupIcon(group).toImage();
    ASSERT_EQ(icon.size(), QSize(kIconSize, kIconSize));
    drawn.insert(QByteArray(reinterpret_cast<const char*>(icon.constBits()), int(icon.sizeInBytes())));
  }
  EXPECT_EQ(drawn.size(), groups);
  EXPECT_EQ(GroupIcon(groups + 3).toImage(), GroupIcon(groups - 1).toImage());
}

}  // namespace
