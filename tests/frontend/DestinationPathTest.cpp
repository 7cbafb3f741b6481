#include <gtest/gtest.h>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>

#include <filesystem>

#include "engine/setup/PartialOutput.h"
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

namespace fs = std::filesystem;

std::string FileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Invalid UTF-8 does not survive a round trip through QString unchanged.
bool IsUtf8(const std::string& text) { return QString::fromUtf8(text).toUtf8().toStdString() == text; }

// Names past the file system's 255-byte limit are cut in the source's part,
// never in a character, and leave room for the partial file.
TEST(DestinationPath, LongNamesAreCutToFitOnACharacterBoundary) {
  TempHome home;
  const std::string folder = home.path().toStdString();
  std::string title;
  while (QString::fromUtf8(title).size() < 82) title += "日本語のタイトル";
  title = QString::fromUtf8(title).left(82).toUtf8().toStdString();
  ASSERT_EQ(title.size(), 246u);
  for (const std::string& stem : {std::string(246, 'a'), title}) {
    SCOPED_TRACE(stem);
    const std::string first = MakeDestinationPath(folder, "/videos/" + stem + ".avi", ".mp4");
    const std::string name = FileNameOf(first);
    EXPECT_LE(name.size(), 255u);
    EXPECT_TRUE(EndsWith(name, "_(new).mp4")) << name;
    EXPECT_TRUE(IsUtf8(name)) << name;
    EXPECT_EQ(stem.rfind(name.substr(0, name.size() - 10), 0), 0u) << "not a prefix of the source's name: " << name;
    // The partial file beside it fits as well.
    EXPECT_LE(FileNameOf(partial_output::PartialPathOf(first)).size(), 255u);
    WriteFileBytes(first, "x");
    ASSERT_TRUE(fs::exists(first));
    const std::string second = MakeDestinationPath(folder, "/videos/" + stem + ".avi", ".mp4");
    EXPECT_TRUE(EndsWith(FileNameOf(second), "_(new_1).mp4")) << second;
    EXPECT_LE(FileNameOf(second).size(), 255u);
    EXPECT_TRUE(IsUtf8(second));
  }
}

// A reserved name and a name whose partial file exists (a conversion writing
// it) are taken; giving the reservation up frees the name again.
TEST(DestinationPath, ReservationsAndPartialFilesTakeTheName) {
  TempHome home;
  const std::string folder = home.path().toStdString();
  const std::string first = ReserveDestinationPath(folder, "/videos/clip.avi", ".3gp");
  const std::string second = ReserveDestinationPath(folder, "/videos/clip.avi", ".3gp");
  EXPECT_EQ(first, folder + "/clip_(new).3gp");
  EXPECT_EQ(second, folder + "/clip_(new_1).3gp");
  EXPECT_TRUE(fs::exists(partial_output::PartialPathOf(first)));
  EXPECT_FALSE(fs::exists(first));
  EXPECT_EQ(MakeDestinationPath(folder, "/videos/clip.avi", ".3gp"), folder + "/clip_(new_2).3gp");
  ReleaseDestinationPath(first);
  EXPECT_FALSE(fs::exists(partial_output::PartialPathOf(first)));
  EXPECT_EQ(MakeDestinationPath(folder, "/videos/clip.avi", ".3gp"), first);

  WriteFileBytes(folder + "/.movie_(new).mp4.part", "");
  EXPECT_EQ(MakeDestinationPath(folder, "/videos/movie.mkv", ".mp4"), folder + "/movie_(new_1).mp4");
}

// A folder the user may read but not search cannot be checked for free names:
// the search ends with an error naming the folder instead of never.
TEST(DestinationPath, FolderThatCannotBeSearchedFailsNamingIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as the user nobody";
  TempHome home;
  fs::permissions(home.path().toStdString(), fs::perms(0755));
  const std::string folder = home.path().toStdString() + "/locked";
  fs::create_directory(folder);
  ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  fs::permissions(folder, fs::perms(0600));

  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipeFds[0]);
    ::alarm(10);  // a search that never ends is killed
    if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
      ::_exit(3);
    std::string text;
    for (auto find : {&MakeDestinationPath, &ReserveDestinationPath}) {
      try {
        find(folder, "/videos/clip.avi", ".mp4");
        ::_exit(2);
      } catch (const DestinationError& error) {
        text += std::string(error.what()) + "\n";
      }
    }
    if (::write(pipeFds[1], text.data(), text.size()) != ssize_t(text.size())) ::_exit(4);
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
  ::close(pipeFds[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_FALSE(WIFSIGNALED(status)) << "the search did not end: signal " << WTERMSIG(status);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot become the user nobody";
  ASSERT_EQ(WEXITSTATUS(status), 0) << "2: a name was given without searching the folder";
  const std::string expected = "Cannot choose a name for the converted file in the folder " + folder + "/: ";
  EXPECT_EQ(text.find(expected), 0u) << text;
  EXPECT_NE(text.find("\n" + expected), std::string::npos) << text;
}

}  // namespace
