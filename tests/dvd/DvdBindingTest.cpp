#include <gtest/gtest.h>

#include "DvdTestSupport.h"
#include "media/EngineException.h"

namespace {

const std::string kLibAv = std::string(OXBEL_PROGRAM_DIR) + "/LibAV";

void ExpectNotLoaded(const std::function<void()>& call) {
  try {
    call();
    ADD_FAILURE() << "no exception";
  } catch (const EngineException& e) {
    EXPECT_STREQ(e.what(), "DVD plug-in library is not loaded.");
  }
}

class DvdBinding : public testing::Test {
 protected:
  void SetUp() override { UnloadDvdPlugin(); }
  void TearDown() override { UnloadDvdPlugin(); }
};

TEST_F(DvdBinding, WrappersRaiseWhileUnbound) {
  EXPECT_FALSE(DvdPluginLoaded());
  EXPECT_EQ(DvdReader(), nullptr);
  ExpectNotLoaded([] { DVDEnumTitle(std::string("/")); });
  ExpectNotLoaded([] {
    DvdTitleInfo info;
    DVDGetTitle(0, info);
  });
  ExpectNotLoaded([] { DVDSetParam(DvdParam{}); });
}

TEST_F(DvdBinding, AMissingPluginKeepsTheLoadError) {
  const std::string folder = std::string(OXBEL_PROGRAM_DIR) + "/no-such-folder";
  EXPECT_FALSE(LoadDvdPlugin(folder, kDvdInitialisation));
  EXPECT_FALSE(DvdPluginLoaded());
  const std::string error = DvdLastError();
  EXPECT_EQ(error.rfind("Load library " + folder + "/libdvddec.so error: ", 0), 0u) << error;
  EXPECT_GT(error.size(), folder.size() + 36) << "the system's reason follows";
}

TEST_F(DvdBinding, AWrongInitialisationStringIsRefused) {
  EXPECT_FALSE(LoadDvdPlugin(kLibAv, "another program"));
  EXPECT_FALSE(DvdPluginLoaded());
  EXPECT_NE(DvdLastError().find("refused the initialisation string"), std::string::npos) << DvdLastError();
  EXPECT_TRUE(LoadDvdPlugin(kLibAv, kDvdInitialisation)) << "a failed binding leaves it unbound for the next try";
}

TEST_F(DvdBinding, ASecondLoadKeepsTheFirstBinding) {
  ASSERT_TRUE(LoadDvdPlugin(kLibAv + "/", kDvdInitialisation)) << DvdLastError();
  const DvdReaderApi* reader = DvdReader();
  ASSERT_NE(reader, nullptr);
  EXPECT_TRUE(LoadDvdPlugin(std::string(OXBEL_PROGRAM_DIR) + "/no-such-folder", "another program"));
  EXPECT_TRUE(DvdPluginLoaded());
  EXPECT_EQ(DvdReader(), reader);
  EXPECT_EQ(DVDEnumTitle(std::string(OXBEL_PROGRAM_DIR) + "/no-such-folder"), 0);
}

}  // namespace
