#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <atomic>
#include <memory>
#include <thread>

#include "preview/VideoWidget.h"
#include "support/WaitFor.h"

namespace {

// A picture of one colour, in the sink's byte order (blue, green, red, 255).
std::shared_ptr<const SinkPicture> solid(int width, int height, QColor colour) {
  auto picture = std::make_shared<SinkPicture>();
  picture->Width = width;
  picture->Height = height;
  picture->Stride = width * 4;
  picture->Pixels.resize(std::size_t(picture->Stride) * height);
  for (std::size_t i = 0; i < picture->Pixels.size(); i += 4) {
    picture->Pixels[i] = std::uint8_t(colour.blue());
    picture->Pixels[i + 1] = std::uint8_t(colour.green());
    picture->Pixels[i + 2] = std::uint8_t(colour.red());
    picture->Pixels[i + 3] = 255;
  }
  return picture;
}

// 100x100 in the middle of a 200x100 surface, as the player places a square picture.
const SinkPlacement kCentred{50, 0, 100, 100, 200, 100};

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  std::atomic<int> paints{0};
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// The widget inside a shown window, as in the player's window.
class VideoWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.resize(500, 500);
    widget.resize(200, 100);
    host.show();
    ASSERT_TRUE(waitFor([&] { return widget.isVisible(); }));
  }
  QColor at(int x, int y) { return widget.grab().toImage().pixelColor(x, y); }
  void presentFromThread(std::shared_ptr<const SinkPicture> picture, const SinkPlacement& placement) {
    std::thread player([&] { widget.Present(std::move(picture), placement); });
    player.join();
  }

  QWidget host;
  TVideoWidget& widget = *new TVideoWidget(&host);
};

TEST_F(VideoWidgetTest, PictureFromAPlayerThreadIsPaintedAtItsPlacementOnBlack) {
  EXPECT_EQ(at(100, 50), QColor(Qt::black));
  PaintCounter counter;
  widget.installEventFilter(&counter);
  presentFromThread(solid(100, 100, Qt::red), kCentred);
  EXPECT_TRUE(waitFor([&] { return counter.paints > 0; })) << "no repaint was scheduled";
  EXPECT_EQ(at(50, 50), QColor(Qt::red));
  EXPECT_EQ(at(149, 99), QColor(Qt::red));
  EXPECT_EQ(at(49, 50), QColor(Qt::black));
  EXPECT_EQ(at(150, 50), QColor(Qt::black));
  // Exposed again (a paused player presents nothing new): the kept picture shows.
  widget.hide();
  widget.show();
  EXPECT_EQ(at(100, 50), QColor(Qt::red));
}

TEST_F(VideoWidgetTest, ClearDropsThePicture) {
  presentFromThread(solid(100, 100, Qt::green), kCentred);
  EXPECT_EQ(at(100, 50), QColor(Qt::green));
  std::thread player([&] { widget.Clear(); });
  player.join();
  EXPECT_EQ(at(100, 50), QColor(Qt::black));
}

// Right after a resize the placement still describes the old surface: the
// picture is scaled with the surface, centred, never stretched.
TEST_F(VideoWidgetTest, StaleSurfaceSizeKeepsThePictureProportions) {
  widget.Present(solid(100, 100, Qt::blue), kCentred);
  widget.resize(400, 100);
  EXPECT_EQ(at(200, 50), QColor(Qt::blue));
  EXPECT_EQ(at(151, 50), QColor(Qt::blue));
  EXPECT_EQ(at(248, 50), QColor(Qt::blue));
  EXPECT_EQ(at(140, 50), QColor(Qt::black));
  EXPECT_EQ(at(260, 50), QColor(Qt::black));

  widget.resize(400, 400);  // surface doubled to 400x200, 100 pixels above and below
  EXPECT_EQ(at(200, 200), QColor(Qt::blue));
  EXPECT_EQ(at(105, 200), QColor(Qt::blue));
  EXPECT_EQ(at(200, 105), QColor(Qt::blue));
  EXPECT_EQ(at(95, 200), QColor(Qt::black));
  EXPECT_EQ(at(200, 95), QColor(Qt::black));
  EXPECT_EQ(at(200, 305), QColor(Qt::black));
}

TEST_F(VideoWidgetTest, ResizeReachesTheListenerAndTheSizeOtherThreadsRead) {
  std::vector<QSize> heard;
  widget.SetResizeListener([&](int width, int height) { heard.emplace_back(width, height); });
  widget.resize(320, 240);
  ASSERT_TRUE(waitFor([&] { return !heard.empty(); }));
  EXPECT_EQ(heard.back(), QSize(320, 240));
  int width = 0, height = 0;
  std::thread player([&] { widget.ClientSize(width, height); });
  player.join();
  EXPECT_EQ(QSize(width, height), QSize(320, 240));

  widget.SetResizeListener(nullptr);
  widget.resize(100, 100);
  QApplication::processEvents();
  EXPECT_EQ(heard.size(), 1u);
  EXPECT_EQ(widget.DriverName(), "qt");
  EXPECT_NE(widget.Handle(), 0u);
}

// A player presenting as fast as it can while the window paints and resizes;
// the last picture is what stays on screen.
TEST_F(VideoWidgetTest, PicturesFromAThreadWhileTheWindowPaints) {
  std::atomic<bool> done{false};
  std::thread player([&] {
    for (int i = 0; i < 2000; ++i) {
      widget.Present(solid(100, 100, i % 2 ? Qt::red : Qt::green), kCentred);
      int width, height;
      widget.ClientSize(width, height);
      if (i % 100 == 0) widget.Clear();
    }
    widget.Present(solid(100, 100, Qt::yellow), kCentred);
    done = true;
  });
  for (int i = 0; !done; ++i) {
    widget.resize(i % 2 ? 200 : 300, 100);
    widget.grab();
    QApplication::processEvents();
  }
  player.join();
  widget.resize(200, 100);
  EXPECT_EQ(at(100, 50), QColor(Qt::yellow));
}

}  // namespace
