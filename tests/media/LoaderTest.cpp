#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>

#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "support/TempHome.h"

namespace {

namespace fs = std::filesystem;

// Every test starts and ends with nothing loaded and default names.
class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    auto& loader = TMediaLoader::instance();
    loader.unloadSet(kPlayerLibraries | LibraryBit(MediaLibrary::avdevice));
    loader.setLibraryDirectory("");
    for (int i = 0; i < kMediaLibraryCount; ++i) loader.setFileName(MediaLibrary(i), "");
  }
  static bool anyEngineLibraryLoaded() {
    for (int i = 0; i < kMediaLibraryCount; ++i)
      if ((kEngineLibraries & LibraryBit(MediaLibrary(i))) && TMediaLoader::instance().isLoaded(MediaLibrary(i)))
        return true;
    return false;
  }
  TMediaLoader& loader = TMediaLoader::instance();
  TempHome home;
};

TEST_F(LoaderTest, EngineSetLoadsBindsAndUnloadsAgain) {
  EXPECT_EQ(loader.fileName(MediaLibrary::avcodec), "libavcodec.so.59");
  EXPECT_EQ(loader.fileName(MediaLibrary::SDL2), "libSDL2-2.0.so.0");
  ASSERT_TRUE(loader.loadSet(kEngineLibraries)) << loader.lastError();
  EXPECT_TRUE(loader.isSetLoaded(kEngineLibraries));
  EXPECT_FALSE(loader.isLoaded(MediaLibrary::avdevice));
  ASSERT_NE(media::avformat_open_input, nullptr);
  EXPECT_EQ(int(media::avcodec_version() >> 16), LIBAVCODEC_VERSION_MAJOR);

  const auto bound = media::avformat_open_input;
  EXPECT_TRUE(loader.loadSet(kEngineLibraries));  // a second load changes nothing
  EXPECT_EQ(media::avformat_open_input, bound);

  loader.unloadSet(kEngineLibraries);
  EXPECT_FALSE(anyEngineLibraryLoaded());
  EXPECT_EQ(media::avformat_open_input, nullptr);
  EXPECT_EQ(media::avutil_version, nullptr);

  EXPECT_TRUE(loader.loadSet(kEngineLibraries)) << loader.lastError();
  EXPECT_EQ(int(media::avutil_version() >> 16), LIBAVUTIL_VERSION_MAJOR);
  EXPECT_FALSE(loader.loadSet(0));
}

TEST_F(LoaderTest, MissingLibraryFileFailsTheSetAndLeavesNothingLoaded) {
  const std::string missing = home.file("libavfilter.so.8");
  loader.setFileName(MediaLibrary::avfilter, missing);
  EXPECT_FALSE(loader.loadSet(kEngineLibraries));
  EXPECT_EQ(loader.lastError().rfind("Load library " + missing + " error: ", 0), 0u) << loader.lastError();
  EXPECT_FALSE(anyEngineLibraryLoaded());
  EXPECT_EQ(media::avcodec_open2, nullptr);
}

// Libraries loaded before a failing set stay loaded: a running task may use them.
TEST_F(LoaderTest, FailedSetKeepsWhatWasLoadedBefore) {
  ASSERT_TRUE(loader.load(MediaLibrary::avutil));
  loader.setFileName(MediaLibrary::avfilter, home.file("libavfilter.so.8"));
  EXPECT_FALSE(loader.loadSet(kEngineLibraries));
  EXPECT_TRUE(loader.isLoaded(MediaLibrary::avutil));
  EXPECT_FALSE(loader.isLoaded(MediaLibrary::avcodec));
}

TEST_F(LoaderTest, LibraryLackingAnEntryPointIsRefusedAndFreed) {
  const std::string folder = OXBEL_STUB_MISSING_DIR;
  const std::string path = folder + "/libavfilter.so.8";
  loader.setLibraryDirectory(folder);
  EXPECT_FALSE(loader.loadSet(kEngineLibraries));
  EXPECT_EQ(loader.lastError().rfind("Load function avfilter_version@" + path + " error: ", 0), 0u)
      << loader.lastError();
  EXPECT_EQ(dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
  EXPECT_FALSE(anyEngineLibraryLoaded());
}

TEST_F(LoaderTest, LibraryOfAnotherMajorVersionIsRefused) {
  const std::string path = std::string(OXBEL_STUB_WRONG_VERSION_DIR) + "/libavfilter.so.8";
  loader.setLibraryDirectory(OXBEL_STUB_WRONG_VERSION_DIR);
  EXPECT_FALSE(loader.load(MediaLibrary::avfilter));
  EXPECT_EQ(loader.lastError(), "Load library " + path + " error: major version " +
                                    std::to_string(LIBAVFILTER_VERSION_MAJOR + 1) + " found, the program needs version " +
                                    std::to_string(LIBAVFILTER_VERSION_MAJOR));
  EXPECT_FALSE(loader.isLoaded(MediaLibrary::avfilter));
}

// A copy in the library folder is the one used, not the system's.
TEST_F(LoaderTest, CopyInTheLibraryFolderIsPreferred) {
  Dl_info info{};
  ASSERT_TRUE(loader.load(MediaLibrary::avutil));
  ASSERT_NE(dladdr(reinterpret_cast<void*>(media::avutil_version), &info), 0);
  const fs::path systemCopy = fs::canonical(info.dli_fname);
  loader.unload(MediaLibrary::avutil);

  const fs::path folder = home.file("LibAV");
  fs::create_directory(folder);
  fs::copy_file(systemCopy, folder / "libavutil.so.57");
  loader.setLibraryDirectory(folder.string());
  ASSERT_TRUE(loader.load(MediaLibrary::avutil)) << loader.lastError();
  ASSERT_NE(dladdr(reinterpret_cast<void*>(media::avutil_version), &info), 0);
  EXPECT_EQ(fs::path(info.dli_fname), folder / "libavutil.so.57");
}

}  // namespace
