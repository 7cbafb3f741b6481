// The user's files stay safe: outputs appear under their final names only when
// complete, a failed or killed run leaves nothing there, an output never writes
// over its source, a source changing under a run fails it, and two runs never
// share a name.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "engine/setup/EngineTask.h"
#include "media/MediaLoader.h"
#include "testmedia/MediaWriter.h"
#include "testmedia/TestMedia.h"
#include "support/DecodedFrames.h"
#include "support/RunCli.h"
#include "support/SmallDisk.h"
#include "support/TempHome.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kCli = std::string(OXBEL_PROGRAM_DIR) + "/oxbel-cli";
const std::string kNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs a whole shell command line (the program is kCli), output and errors together.
CliRun Shell(const std::string& command) {
  CliRun run;
  if (FILE* pipe = ::popen(("(" + command + ") 2>&1").c_str(), "r")) {
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return run;
}

// The names in a folder, hidden ones too, sorted.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const auto& name : names) text += name + "\n";
  return text;
}

// Offset and size of the first top-level box of a type in an MP4/3GP file; size 0 when absent.
struct Box {
  std::uint64_t offset = 0, size = 0;
};
Box FindTopLevelBox(const std::string& bytes, const char* type) {
  auto be = [&](size_t at, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + size_t(i)]);
    return value;
  };
  for (size_t at = 0; at + 8 <= bytes.size();) {
    std::uint64_t size = be(at, 4);
    if (size == 1 && at + 16 <= bytes.size()) size = be(at + 8, 8);
    if (size == 0) size = bytes.size() - at;
    if (bytes.compare(at + 4, 4, type) == 0) return {at, size};
    if (size < 8) break;
    at += size;
  }
  return {};
}

// The destination a --format run printed for its file.
std::string PrintedDestination(const std::string& output) {
  std::smatch match;
  static const std::regex line(R"(\] .* -> (.*): (converted|failed))");
  return std::regex_search(output, match, line) ? match[1].str() : std::string();
}

class OutputSafety : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TMediaLoader::instance().loadSet(kEngineLibraries)); }

  std::string folder(const std::string& name) const {
    const std::string path = home.file(name.c_str());
    fs::create_directories(path);
    return path;
  }
  std::string copy(test_media::Kind kind, const std::string& path) const {
    fs::copy_file(test_media::Path(kind), path, fs::copy_options::overwrite_existing);
    return path;
  }

  TempHome home;
};

bool CanRunAsNobody() { return ::geteuid() == 0 && Shell(kNobody + Quoted(kCli) + " --help").exitCode == 0; }

// A source name near the file system's limit still gets a destination that
// fits with its partial file, and converts.
TEST_F(OutputSafety, SourceWithALongNameConverts) {
  const std::string source = copy(test_media::Kind::Clip320, home.file((std::string(246, 'n') + ".mp4").c_str()));
  const std::string out = folder("out");
  const CliRun run = RunCli("convert --format 200 -d " + Quoted(out) + " " + Quoted(source));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string destination = PrintedDestination(run.output);
  EXPECT_EQ(fs::path(destination).filename().string(), std::string(239, 'n') + "_(new).3gp");
  EXPECT_EQ(Entries(out), std::vector<std::string>{fs::path(destination).filename().string()});
  EXPECT_GT(CountDecodedFrames(destination, AVMEDIA_TYPE_VIDEO), 20);
  EXPECT_GT(CountDecodedFrames(destination, AVMEDIA_TYPE_AUDIO), 20);
}

// A folder the user cannot search or reach ends the run at once with its
// name instead of searching for a free name forever.
TEST_F(OutputSafety, FolderTheUserCannotSearchFailsQuickly) {
  if (!CanRunAsNobody()) GTEST_SKIP() << "needs root and setpriv to run the program as the user nobody";
  fs::permissions(home.path().toStdString(), fs::perms(0755));
  const std::string source = copy(test_media::Kind::Clip320, home.file("clip.mp4"));
  const std::string locked = folder("locked");
  ASSERT_EQ(::chown(locked.c_str(), 65534, 65534), 0);
  fs::permissions(locked, fs::perms(0600));
  const std::string closed = folder("closed");
  fs::permissions(closed, fs::perms(0700));

  for (const std::string& out : {locked, closed + "/out"}) {
    SCOPED_TRACE(out);
    const auto started = Clock::now();
    const CliRun run = Shell("timeout 20 " + kNobody + Quoted(kCli) + " convert --format 200 -d " + Quoted(out) + " " +
                             Quoted(source));
    EXPECT_LT(Clock::now() - started, 10s);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find(out), std::string::npos) << run.output;
  }
  EXPECT_TRUE(Entries(locked).empty()) << Joined(Entries(locked));
}

// A write that fails in the file's last part (the index written at the end)
// fails the run with the reason, and leaves neither the final file nor the
// partial one.
TEST_F(OutputSafety, WriteFailureAtTheEndLeavesNoFile) {
  const std::string source = copy(test_media::Kind::Clip320, home.file("clip.mp4"));
  struct Form {
    const char* name;
    std::function<std::string(const std::string& out)> command;  // the arguments after "convert"
    const char* file;                                              // the output's name in `out`
  };
  const Form forms[] = {
      {"format", [&](const std::string& out) { return "--format 200 -d " + Quoted(out) + " " + Quoted(source); },
       "clip_(new).3gp"},
      {"options",
       [&](const std::string& out) {
         return "-i " + Quoted(source) + " vcodec=mpeg4 s=176x144 acodec=aac -o " + Quoted(out + "/clip.mp4");
       },
       "clip.mp4"},
  };
  for (const auto& form : forms) {
    SCOPED_TRACE(form.name);
    const std::string good = folder(std::string("good_") + form.name);
    const CliRun first = RunCli("convert " + form.command(good));
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const Box moov = FindTopLevelBox(ReadFileBytes(good + "/" + form.file), "moov");
    ASSERT_GT(moov.size, 100u) << "the index is not a top-level box";
    ASSERT_GT(moov.offset, 1000u) << "the index comes first";

    const std::string limited = folder(std::string("limited_") + form.name);
    const std::string limit = std::to_string(moov.offset + moov.size / 2);
    const CliRun run = Shell("prlimit --fsize=" + limit + " " + Quoted(kCli) + " convert " + form.command(limited));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("The file " + limited + "/" + form.file +
                              " grew larger than the file system or the system allows"),
              std::string::npos)
        << run.output;
    EXPECT_TRUE(Entries(limited).empty()) << Joined(Entries(limited));
  }
}

// A disk that fills up during the run fails it with that reason and keeps
// nothing of the output.
TEST_F(OutputSafety, FullDiskFailsAndLeavesTheFolderEmpty) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  const std::string source = copy(test_media::Kind::Clip320, home.file("clip.mp4"));
  const std::string good = folder("good");
  const CliRun first = RunCli("convert --format 200 -d " + Quoted(good) + " " + Quoted(source));
  ASSERT_EQ(first.exitCode, 0) << first.output;
  const auto size = fs::file_size(good + "/clip_(new).3gp");
  ASSERT_GT(size, 40'000u);

  const std::string small = folder("small");
  SmallDisk disk(small, int(size / 2 / 1024));
  if (!disk.mounted()) GTEST_SKIP() << disk.reason();
  const CliRun run = RunCli("convert --format 200 -d " + Quoted(small) + " " + Quoted(source));
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("Not enough space on the disk to write " + small + "/clip_(new).3gp"), std::string::npos)
      << run.output;
  EXPECT_TRUE(Entries(small).empty()) << Joined(Entries(small));

  const CliRun options = RunCli("convert -i " + Quoted(source) + " vcodec=mpeg4 b=2000000 -o " + Quoted(small + "/x.mp4"));
  EXPECT_EQ(options.exitCode, 1) << options.output;
  EXPECT_NE(options.output.find("Not enough space on the disk to write " + small + "/x.mp4"), std::string::npos)
      << options.output;
  EXPECT_TRUE(Entries(small).empty()) << Joined(Entries(small));
}

// An output that is the source itself, through a link or another path to
// it, is refused before anything is written.
TEST_F(OutputSafety, OutputThatIsTheSourceIsRefused) {
  const std::string source = copy(test_media::Kind::Clip320, home.file("x.mp4"));
  const std::string original = ReadFileBytes(source);
  fs::create_symlink("x.mp4", home.file("link.mp4"));
  const std::string convert = " convert -i x.mp4 vcodec=mpeg4 acodec=aac -o ";
  const std::string here = "cd " + Quoted(home.path().toStdString()) + " && " + Quoted(kCli);
  const std::pair<std::string, std::string> cases[] = {
      {Quoted(kCli) + " convert -i " + Quoted(source) + " vcodec=mpeg4 acodec=aac -o " + Quoted(source), source},
      {here + convert + Quoted(home.file("link.mp4")), home.file("link.mp4")},
      {here + convert + "./x.mp4", "./x.mp4"},
  };
  for (const auto& [command, output] : cases) {
    SCOPED_TRACE(output);
    const CliRun run = Shell(command);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("Cannot write " + output + ": it is the source "), std::string::npos) << run.output;
    EXPECT_TRUE(ReadFileBytes(source) == original) << "the source changed";
    EXPECT_FALSE(fs::exists(home.file(".x.mp4.part")));
  }
}

// Two programs converting sources of the same name into one folder at the
// same moment get two names and two whole files.
TEST_F(OutputSafety, TwoProgramsAtOnceGetTwoNames) {
  using test_media::AudioSpec, test_media::MediaSpec, test_media::VideoSpec;
  const std::string sources[] = {folder("a") + "/clip.mp4", folder("b") + "/clip.mp4"};
  // Different lengths tell the outputs apart.
  const double seconds[] = {0.4, 0.6};
  for (int i = 0; i < 2; ++i)
    test_media::WriteMedia({.muxer = "mp4", .video = VideoSpec{.encoder = "mpeg4", .width = 64, .height = 48},
                            .audio = AudioSpec{.encoder = "aac", .sampleRate = 22050, .channels = 1},
                            .seconds = seconds[i]},
                           sources[i]);
  std::multiset<int> expected;
  for (const auto& source : sources) {
    const std::string alone = folder("alone");
    fs::remove_all(alone);
    ASSERT_EQ(RunCli("convert --format 200 -d " + Quoted(alone) + " " + Quoted(source)).exitCode, 0);
    expected.insert(CountDecodedFrames(alone + "/clip_(new).3gp", AVMEDIA_TYPE_VIDEO));
  }
  ASSERT_EQ(expected.size(), 2u);
  ASSERT_NE(*expected.begin(), *expected.rbegin());

  const std::string out = folder("out");
  std::string command;
  for (int i = 0; i < 2; ++i)
    command += "(" + Quoted(kCli) + " convert --format 200 -d " + Quoted(out) + " " + Quoted(sources[i]) +
               "; echo \"exit=$?\") >" + Quoted(home.file(i ? "run1" : "run0")) + " 2>&1 & ";
  command += "wait";
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    for (const auto& name : Entries(out)) fs::remove(out + "/" + name);
    Shell(command);
    std::set<std::string> destinations;
    std::multiset<int> frames;
    for (const char* name : {"run0", "run1"}) {
      const std::string output = ReadFileBytes(home.file(name));
      EXPECT_NE(output.find("exit=0"), std::string::npos) << output;
      const std::string destination = PrintedDestination(output);
      destinations.insert(destination);
      frames.insert(CountDecodedFrames(destination, AVMEDIA_TYPE_VIDEO));
    }
    EXPECT_EQ(destinations, (std::set<std::string>{out + "/clip_(new).3gp", out + "/clip_(new_1).3gp"}));
    EXPECT_EQ(frames, expected);
    EXPECT_EQ(Entries(out), (std::vector<std::string>{"clip_(new).3gp", "clip_(new_1).3gp"}));
    if (HasFailure()) break;
  }
}

// A source truncated, deleted or replaced during the run was not read whole:
// the run fails saying so and keeps no output.
TEST_F(OutputSafety, SourceChangedDuringTheRunFailsIt) {
  const std::string replacement = copy(test_media::Kind::Clip320, home.file("replacement.mp4"));
  const std::string source = home.file("source.vob");
  const std::pair<std::string, std::function<void()>> changes[] = {
      {"became shorter", [&] { fs::resize_file(source, fs::file_size(source) / 2); }},
      {"disappeared", [&] { fs::remove(source); }},
      {"was replaced by another file", [&] { fs::copy_file(replacement, home.file("other")); fs::rename(home.file("other"), source); }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    copy(test_media::Kind::LongDvdPal, source);
    const std::string out = folder("out");
    TCustomEngineTask task;
    task.SetVerbosity(-1);
    ASSERT_TRUE(task.OpenInputFile(source)) << task.ErrorText();
    task.ApplyOption("vcodec", "mpeg4");
    task.ApplyOption("acodec", "aac");
    ASSERT_GE(task.OpenOutputFile(out + "/out.mp4", false), 0) << task.ErrorText();
    // A second in, with most of the source still unread.
    task.SetFrameHook([&, change = change](AVFrame*, int frame, std::int64_t) {
      if (frame == 25) change();
      return true;
    });
    task.Run();
    EXPECT_FALSE(task.Finished());
    EXPECT_TRUE(task.Exception());
    EXPECT_EQ(task.ErrorText(), "The source " + source + " " + what + " during the conversion");
    EXPECT_TRUE(Entries(out).empty()) << Joined(Entries(out));
  }
}

// A run killed outright leaves nothing under the final name, at most its
// hidden partial file.
TEST_F(OutputSafety, KilledRunLeavesNoFileUnderTheFinalName) {
  const std::string source = test_media::Path(test_media::Kind::LongDvdPal);
  const std::string out = folder("out");
  const std::string partial = out + "/.killed.mp4.part";
  // Read at the source's own pace and killed once pictures reach the file (past
  // the header); key frames only at a high bit rate fill the write buffer soon.
  const CliRun run = Shell(Quoted(kCli) + " convert re=1 -i " + Quoted(source) + " vcodec=mpeg4 g=1 b=8000000 -o " +
                           Quoted(out + "/killed.mp4") + " & pid=$!; for i in $(seq 100); do "
                           "[ \"$(stat -c %s " + Quoted(partial) + " 2>/dev/null || echo 0)\" -gt 10000 ] && "
                           "echo writing && break; sleep 0.05; done; kill -9 $pid; wait $pid; echo \"exit=$?\"");
  EXPECT_NE(run.output.find("writing"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("exit=137"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(out + "/killed.mp4"));
  for (const auto& name : Entries(out)) EXPECT_EQ(name, ".killed.mp4.part");
}

// Local names that look like addresses ("http:x.mp4", a folder "x:y") are
// the files and folders of those names.
TEST_F(OutputSafety, LocalNamesWithAColonAreFiles) {
  const std::string here = home.path().toStdString();
  copy(test_media::Kind::Clip320, here + "/http:x.mp4");
  const int frames = CountDecodedFrames(test_media::Path(test_media::Kind::Clip320), AVMEDIA_TYPE_VIDEO);
  const std::string cd = "cd " + Quoted(here) + " && " + Quoted(kCli);
  const CliRun input = Shell(cd + " convert -i http:x.mp4 vcodec=mpeg4 acodec=aac -o out.mp4");
  EXPECT_EQ(input.exitCode, 0) << input.output;
  EXPECT_EQ(CountDecodedFrames(here + "/out.mp4", AVMEDIA_TYPE_VIDEO), frames);

  const CliRun folderRun = Shell(cd + " convert --format 200 -d x:y http:x.mp4");
  EXPECT_EQ(folderRun.exitCode, 0) << folderRun.output;
  EXPECT_NE(folderRun.output.find("-> x:y/http:x_(new).3gp: converted"), std::string::npos) << folderRun.output;
  EXPECT_GT(CountDecodedFrames(here + "/x:y/http:x_(new).3gp", AVMEDIA_TYPE_VIDEO), 20);
}

}  // namespace
