// oxbel-testmedia: writes every test media file into a folder and lists them.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "TestMedia.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "Usage: oxbel-testmedia [FOLDER]\n");
    return 2;
  }
  try {
    const std::string folder = argc == 2 ? argv[1] : test_media::Folder();
    const auto start = std::chrono::steady_clock::now();
    for (test_media::Kind kind : test_media::kAllKinds) {
      const std::string path = test_media::Write(kind, folder);
      std::printf("%8ju  %s\n", std::uintmax_t(std::filesystem::file_size(path)), test_media::FileName(kind).c_str());
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%zu files in %.2f s\n", std::size(test_media::kAllKinds), elapsed.count());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "oxbel-testmedia: %s\n", error.what());
    return 1;
  }
  return 0;
}
