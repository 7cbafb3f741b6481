#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "preview/PreviewerWindow.h"
#include "support/WaitFor.h"

namespace {

// A bitmap in the engine's byte order (blue, green, red, top-down) with padded
// rows: the top half `top`, the bottom half `bottom`.
TBitmap24 bitmap(int width, int height, QColor top, QColor bottom) {
  TBitmap24 bitmap{width, height, width * 3 + 4, {}};
  bitmap.Bits.resize(std::size_t(bitmap.Stride) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const QColor colour = y < height / 2 ? top : bottom;
      std::uint8_t* pixel = &bitmap.Bits[std::size_t(y) * bitmap.Stride + x * 3];
      pixel[0] = std::uint8_t(colour.blue());
      pixel[1] = std::uint8_t(colour.green());
      pixel[2] = std::uint8_t(colour.red());
    }
  return bitmap;
}

void sendMouse(QWidget& window, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(local), QPointF(window.mapToGlobal(local)), Qt::LeftButton, buttons, {});
  QApplication::sendEvent(&window, &event);
}

TEST(PreviewerWindow, ShowsEachFrameAtItsSizeUnderItsCaptionAboveOtherWindows) {
  int closed = 0;
  const auto window = QtPreviewWindowFactory()([&] { ++closed; });
  auto& widget = dynamic_cast<TPreviewerWindow&>(*window);
  window->ShowFrame(bitmap(160, 120, Qt::red, Qt::blue), "00:00:01.250");
  ASSERT_TRUE(waitFor([&] { return widget.isVisible(); }));
  EXPECT_EQ(widget.size(), QSize(160, 120));
  EXPECT_EQ(widget.windowTitle(), "00:00:01.250");
  const Qt::WindowFlags flags = widget.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  const QImage shown = widget.grab().toImage();
  EXPECT_EQ(shown.pixelColor(10, 10), QColor(Qt::red));
  EXPECT_EQ(shown.pixelColor(150, 110), QColor(Qt::blue));
  const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_EQ(widget.frameGeometry().center(), screenCentre);

  // A larger frame resizes the window, which stays where it was put.
  const QPoint placed = widget.pos();
  window->ShowFrame(bitmap(320, 240, Qt::green, Qt::green), "00:00:01.350");
  EXPECT_EQ(widget.size(), QSize(320, 240));
  EXPECT_EQ(widget.minimumSize(), widget.maximumSize());
  EXPECT_EQ(widget.windowTitle(), "00:00:01.350");
  EXPECT_EQ(widget.grab().toImage().pixelColor(300, 230), QColor(Qt::green));
  EXPECT_EQ(widget.pos(), placed);

  widget.close();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(widget.isVisible());
}

// Without a window manager's move (the offscreen platform has none) the
// window follows the dragged picture itself.
TEST(PreviewerWindow, DraggingThePictureMovesTheWindow) {
  const auto window = QtPreviewWindowFactory()([] {});
  auto& widget = dynamic_cast<TPreviewerWindow&>(*window);
  window->ShowFrame(bitmap(100, 80, Qt::red, Qt::red), "N/A");
  ASSERT_TRUE(waitFor([&] { return widget.isVisible(); }));
  const QPoint start = widget.pos();
  sendMouse(widget, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
  sendMouse(widget, QEvent::MouseMove, {40, 30}, Qt::LeftButton);
  EXPECT_TRUE(waitFor([&] { return widget.pos() == start + QPoint(30, 20); })) << widget.pos().x();
  sendMouse(widget, QEvent::MouseButtonRelease, {40, 30}, Qt::NoButton);
  const QPoint dropped = widget.pos();
  sendMouse(widget, QEvent::MouseMove, {70, 70}, Qt::NoButton);
  QApplication::processEvents();
  EXPECT_EQ(widget.pos(), dropped);
}

}  // namespace
