#include "engine/face/Previewer.h"

#include "media/Dispatcher.h"
#include "media/MediaUtils.h"

std::string PreviewCaption(std::int64_t position) {
  return position == kNoTime ? "N/A" : MicrosecondsText(position);
}

TPreviewer::TPreviewer(Dispatcher* dispatcher, PreviewWindowFactory factory)
    : dispatcher_(dispatcher), factory_(std::move(factory)) {}

TPreviewer::~TPreviewer() = default;

bool TPreviewer::Closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

bool TPreviewer::Show(const TBitmap24& bitmap, int /*taskIndex*/, std::int64_t position) {
  std::lock_guard show(showLock_);
  {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    bitmap_ = &bitmap;
    position_ = position;
  }
  if (dispatcher_ && !dispatcher_->onUiThread())
    dispatcher_->call([this] { ShowOnUiThread(); });
  else
    ShowOnUiThread();
  std::lock_guard lock(mutex_);
  bitmap_ = nullptr;
  return !closed_;
}

void TPreviewer::ShowOnUiThread() {
  const TBitmap24* bitmap;
  std::int64_t position;
  {
    std::lock_guard lock(mutex_);
    if (closed_ || !bitmap_ || !factory_) return;
    bitmap = bitmap_;
    position = position_;
  }
  if (!window_)
    window_ = factory_([this] {
      std::lock_guard lock(mutex_);
      closed_ = true;
    });
  if (window_) window_->ShowFrame(*bitmap, PreviewCaption(position));
}
