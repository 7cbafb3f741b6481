#include "DvdTestSupport.h"

#include "media/MediaLogger.h"

bool BindBuiltPlugin() { return LoadDvdPlugin(std::string(OXBEL_PROGRAM_DIR) + "/LibAV", kDvdInitialisation); }

LogCapture::LogCapture() {
  auto& logger = TMediaLogger::instance();
  logger.SetLogLevel(llWarning);
  logger.SetOnLog([this](const void*, std::uint32_t, TLogLevel, const std::string& message) {
    const std::lock_guard guard(lock_);
    lines_.push_back(message);
  });
}

LogCapture::~LogCapture() { TMediaLogger::instance().SetOnLog(nullptr); }

std::vector<std::string> LogCapture::Lines() const {
  const std::lock_guard guard(lock_);
  return lines_;
}

bool LogCapture::Contains(const std::string& text) const {
  for (const auto& line : Lines())
    if (line.find(text) != std::string::npos) return true;
  return false;
}

DvdParam Chapters(int title, int from, int to) { return DvdParam{title, from, to, 0x80, 0, 2, 0}; }
