// The engine's DVD title streams, read through the plug-in's title reader.
#include "dvd/DvdInput.h"

#include "dvd/DvdPlugin.h"
#include "dvd/OpenDvdString.h"
#include "media/EngineException.h"

namespace {

class PluginTitleStream : public DvdTitleStream {
 public:
  PluginTitleStream(const DvdReaderApi& api, DvdTitleReader* reader) : api_(api), reader_(reader) {}
  ~PluginTitleStream() override { api_.close(reader_); }
  PluginTitleStream(const PluginTitleStream&) = delete;
  PluginTitleStream& operator=(const PluginTitleStream&) = delete;

  int Read(std::uint8_t* buffer, int size) override { return api_.read(reader_, buffer, size); }
  std::int64_t Seek(std::int64_t position) override { return api_.seek(reader_, position); }
  std::int64_t Size() override { return api_.size(reader_); }
  double Duration() override { return api_.duration(reader_); }
  std::int64_t TimeToPosition(double seconds) override { return api_.timeToPosition(reader_, seconds); }
  DvdParam Param() override {
    DvdParam param{};
    api_.param(reader_, &param);
    return param;
  }
  DvdTitleInfo Info() override {
    DvdTitleInfo info{};
    api_.info(reader_, &info);
    return info;
  }

 private:
  const DvdReaderApi& api_;
  DvdTitleReader* reader_;
};

}  // namespace

std::unique_ptr<DvdTitleStream> OpenDvdTitleStream(const std::string& name) {
  std::string path;
  DvdParam param{};
  bool hasParameters = false;
  if (!ParseOpenDvdString(name, path, param, hasParameters)) throw EngineException("Invalid DVD source: " + name);
  const DvdReaderApi* api = DvdReader();
  if (!api) throw EngineException("DVD plug-in library is not loaded.");
  DvdTitleReader* reader = api->open(path.c_str(), hasParameters ? &param : nullptr);
  if (!reader) throw EngineException(api->lastError());
  return std::make_unique<PluginTitleStream>(*api, reader);
}
