#include "ui/TipsBanner.h"

#include <QDesktopServices>
#include <QMouseEvent>

#include <iterator>

#include "ui/ProductLinks.h"

namespace {

// Each fits two lines of the progress window.
const char* const kTips[] = {
    "Pick the output format from the device groups in the main window; each has ready settings.",
    "To convert only part of a file, select it and use Edit \xE2\x80\xBA Trim.",
    "Edit \xE2\x80\xBA Crop cuts black bars or unwanted edges off the picture.",
    "Converted files go to the output folder of the main window; \"Brows\" changes it.",
    "The camera button saves this picture; Tools \xE2\x80\xBA Preference sets where and how.",
    "Edit \xE2\x80\xBA Video Effect & Water Mark adds a text or logo and adjusts the colours.",
    "Only checked jobs are converted: uncheck a job to leave it out.",
    "For a DVD title, choose the audio language, the subtitles and the chapters to convert.",
    "Tick \"Shut down computer after conversion\" to turn off when the last file is done.",
};
}  // namespace

TTipsBanner::TTipsBanner(QWidget* parent) : QLabel(parent) {
  setWordWrap(true);
  setCursor(Qt::PointingHandCursor);
  setToolTip(QStringLiteral("Click to open the user manual"));
  timer_.setInterval(kIntervalMs);
  connect(&timer_, &QTimer::timeout, this, [this] { ShowTip((current_ + 1) % TipCount()); });
  for (const char* tip : kTips) tips_ << QString::fromUtf8(tip);
  ShowTip(0);
}

void TTipsBanner::SetTips(const QStringList& tips) {
  if (tips.isEmpty()) return;
  tips_ = tips;
  ShowTip(0);
}

void TTipsBanner::ShowTip(int index) {
  current_ = index;
  setText(QStringLiteral("Tip: ") + tips_[index]);
}

void TTipsBanner::showEvent(QShowEvent* event) {
  QLabel::showEvent(event);
  timer_.start();
}

void TTipsBanner::hideEvent(QHideEvent* event) {
  timer_.stop();
  QLabel::hideEvent(event);
}

void TTipsBanner::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    QDesktopServices::openUrl(product_links::manualUrl());
  QLabel::mouseReleaseEvent(event);
}
