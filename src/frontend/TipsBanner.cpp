#include "frontend/TipsBanner.h"

#include <QDesktopServices>
#include <QMouseEvent>

#include <iterator>

#include "app/ProductLinks.h"

namespace {

const char* const kTips[] = {
    "Choose the output format from the grouped list of devices in the main window; each one has "
    "ready-made video and audio settings.",
    "To convert only part of a file, select it and use Edit \xE2\x80\xBA Trim before you press Start.",
    "Edit \xE2\x80\xBA Crop cuts black bars or unwanted edges off the picture.",
    "Converted files go to the output folder shown in the main window; \"Brows\" changes it, "
    "\"Open\" shows it.",
    "The camera button saves the picture shown here as a snapshot; Tools \xE2\x80\xBA Preference "
    "chooses its folder, sizes and formats.",
    "Edit \xE2\x80\xBA Video Effect & Water Mark adds a text or logo and adjusts brightness, "
    "contrast and saturation.",
    "Only checked jobs are converted: uncheck a job to leave it out of the batch.",
    "For a DVD title you can pick the audio language, the subtitles and the chapters to convert.",
    "Tick \"Shut down computer after conversion\" to turn the computer off when the last file is done.",
};
constexpr int kTipCount = int(std::size(kTips));

}  // namespace

TTipsBanner::TTipsBanner(QWidget* parent) : QLabel(parent) {
  setWordWrap(true);
  setCursor(Qt::PointingHandCursor);
  setToolTip(QStringLiteral("Click to open the user manual"));
  timer_.setInterval(kIntervalMs);
  connect(&timer_, &QTimer::timeout, this, [this] { ShowTip((current_ + 1) % kTipCount); });
  ShowTip(0);
}

void TTipsBanner::ShowTip(int index) {
  current_ = index;
  setText(QStringLiteral("Tip: ") + QString::fromUtf8(kTips[index]));
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
