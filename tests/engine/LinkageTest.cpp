#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string dynamicSection(const std::string& binary) {
  std::string output;
  if (FILE* pipe = popen(("readelf -d '" + binary + "' 2>&1").c_str(), "r")) {
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  return output;
}

// The programs link no media library and no SDL: the loader binds them at run
// time, so a missing library gives a clear error instead of a failed start.
TEST(Linkage, ProgramsNeedNoMediaLibrary) {
  for (const char* name : {"oxbel", "oxbel-cli", "test_app", "test_engine"}) {
    const std::string section = dynamicSection(std::string(OXBEL_PROGRAM_DIR) + "/" + name);
    ASSERT_NE(section.find("(NEEDED)"), std::string::npos) << name << ": " << section;
    for (const char* library : {"libavcodec", "libavformat", "libavutil", "libavfilter", "libavdevice",
                                "libswscale", "libswresample", "libSDL2"})
      EXPECT_EQ(section.find(std::string("[") + library), std::string::npos) << name << " needs " << library;
  }
}

}  // namespace
