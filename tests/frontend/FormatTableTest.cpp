#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"

namespace {

namespace fc = format_catalogue;

std::string LowerCase(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsLowerCase(const char* text) { return LowerCase(text) == text; }

// Lookups lower-case what they are given, so a row spelled otherwise, or
// after another row of the same name, is never found.
TEST(FormatTable, EveryRowCanBeFound) {
  std::set<std::pair<fc::EncoderKind, std::string>> items, stored;
  for (const fc::EncoderRow& row : fc::encoders()) {
    EXPECT_TRUE(stored.insert({row.kind, row.stored}).second) << row.stored << " stored twice";
    if (!row.item) continue;
    EXPECT_TRUE(IsLowerCase(row.item)) << row.item;
    EXPECT_TRUE(items.insert({row.kind, row.item}).second) << row.item << " listed twice";
  }
  std::set<std::string> names;
  for (const fc::TargetRow& row : fc::targets()) {
    EXPECT_TRUE(IsLowerCase(row.name)) << row.name;
    EXPECT_TRUE(names.insert(row.name).second) << row.name << " named twice";
  }
  // A disc target completes the build before any container is chosen.
  for (const fc::DiscTarget& row : fc::discTargets()) {
    EXPECT_TRUE(IsLowerCase(row.name)) << row.name;
    EXPECT_TRUE(names.insert(row.name).second) << row.name << " is also a container target";
  }
}

class InstalledCatalogueRows : public ::testing::Test {
 protected:
  IniFile catalogue{platform_paths::CatalogueFilePath()};
  std::string Read(int code, const char* key) const { return catalogue.readString(fc::FormatSection(code), key, "null"); }
};

// An item without a row stores nothing when chosen, so the conversion quietly
// falls back to another encoder.
TEST_F(InstalledCatalogueRows, EveryEncoderItemHasARowOfItsKind) {
  for (const auto& format : fc::AllFormats()) {
    for (const auto& [listKey, kind] : {std::pair{"VideoEncoder", fc::EncoderKind::Video},
                                        std::pair{"AudioEncoder", fc::EncoderKind::Audio}})
      for (const std::string& item : fc::SplitItems(Read(format.code, listKey)))
        EXPECT_TRUE(fc::EncoderOfItem(kind, LowerCase(item))) << format.name << ": " << listKey << " " << item;
  }
}

// A target the table does not know leaves the container to the extension, so
// it must name the same container as the extension does; the current
// formats' targets name their muxer.
TEST_F(InstalledCatalogueRows, EveryTargetIsADiscAContainerOrTheExtension) {
  for (const auto& format : fc::AllFormats()) {
    const std::string target = LowerCase(Read(format.code, "Format"));
    const fc::TargetRow* container = fc::TargetNamed(target);
    if (fc::DiscTargetNamed(target) || fc::CurrentTargetNamed(target) || (container && container->setsContainer))
      continue;
    EXPECT_EQ(target, fc::FormatFileExt(catalogue, format.code)) << format.name;
  }
}

}  // namespace
