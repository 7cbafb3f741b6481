#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/TempHome.h"

namespace {

struct CliRun {
  int exitCode;
  std::string output;  // standard output and error together
};

CliRun runCli(const std::string& arguments) {
  CliRun run{-1, {}};
  const std::string command = std::string(OXBEL_PROGRAM_DIR) + "/oxbel-cli " + arguments + " 2>&1";
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return run;
}

TEST(Cli, ProbeDescribesFilesAndFailsOnBadOnes) {
  TempHome home;
  const std::string wav = home.file("tone.wav");
  // 44-byte header and 100 bytes of 8-bit mono PCM at 8000 Hz.
  std::string bytes = "RIFF";
  auto le32 = [&](unsigned v) { for (int i = 0; i < 4; ++i) bytes += char((v >> (8 * i)) & 0xFF); };
  auto le16 = [&](unsigned v) { bytes += char(v & 0xFF); bytes += char(v >> 8); };
  le32(36 + 100);
  bytes += "WAVEfmt ";
  le32(16); le16(1); le16(1); le32(8000); le32(8000); le16(1); le16(8);
  bytes += "data";
  le32(100);
  bytes += std::string(100, char(0x80));
  WriteFileBytes(wav, bytes);

  const CliRun good = runCli("probe '" + wav + "'");
  EXPECT_EQ(good.exitCode, 0) << good.output;
  EXPECT_NE(good.output.find("File Name: " + wav + "\nFormat Name: wav\n"), std::string::npos) << good.output;
  EXPECT_NE(good.output.find("File Size: 144 Byte"), std::string::npos);
  EXPECT_NE(good.output.find("Stream #0, 1/8000: Audio: pcm_u8"), std::string::npos) << good.output;

  const std::string missing = home.file("missing.mp4");
  const CliRun bad = runCli("probe '" + wav + "' '" + missing + "'");
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.output.find(missing + ": No such file or directory"), std::string::npos) << bad.output;
  EXPECT_NE(bad.output.find("Format Name: wav"), std::string::npos);

  EXPECT_EQ(runCli("probe").exitCode, 1);
  EXPECT_EQ(runCli("frobnicate x").exitCode, 2);
  const CliRun help = runCli("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("probe FILE..."), std::string::npos);
}

}  // namespace
