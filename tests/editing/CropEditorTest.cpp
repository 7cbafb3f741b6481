// The crop editor: its rectangle rules, the tracker under the mouse, and the
// whole road through the real dialog: cut 16 pixels off each side of a clip
// and find exactly that part of the picture in the converted file.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <functional>

#include "editing/CropRules.h"
#include "editing/CropWindow.h"
#include "frontend/IniFile.h"
#include "jobs/JobList.h"
#include "testmedia/MediaWriter.h"
#include "picture/TurnedClips.h"
#include "player/MediaPlayer.h"
#include "preview/PreviewPicture.h"
#include "support/DecodedFrames.h"
#include "support/MainWindowFixture.h"
#include "support/WaitFor.h"
#include "TestDvd.h"
#include "ui/RectTracker.h"

namespace {

TEST(CropRules, PictureAreaAndSourcePixels) {
  // A PAL picture in the preview image spans the full height, 27 pixels in.
  const QRect area = CropPictureArea({720, 576}, {370, 253});
  EXPECT_EQ(area, QRect(28, 1, 314, 251));
  EXPECT_EQ(CropPictureArea({320, 180}, {370, 253}), QRect(1, 23, 368, 207)) << "a wide picture spans the width";

  EXPECT_EQ(SourceCropPixels(10, 720, 314), 22) << "22.93 rounds to 23, then down to even";
  EXPECT_EQ(SourceCropPixels(1, 41, 2), 20) << "20.5: ties go to even";
  EXPECT_EQ(SourceCropPixels(1, 214, 10), 20) << "21.4 rounds to 21, then down to even";
  EXPECT_EQ(SourceCropPixels(7, 300, 300), 6) << "no scaling for equal sizes, still even";

  const CropChoice choice = ChooseCrop({4, 6, 10, 0}, {720, 576}, area.size(), "full");
  EXPECT_EQ(choice.Left, 22);
  EXPECT_EQ(choice.Top, 8) << "4 x 576 / 251 = 9.18";
  EXPECT_EQ(choice.Bottom, 14) << "6 x 576 / 251 = 13.77";
  EXPECT_EQ(choice.Right, 0);
  EXPECT_EQ(choice.Frame, (CropSpins{4, 6, 10, 0}));
}

TEST(CropRules, RectangleStaysInsideThePicture) {
  const QRect area(28, 1, 314, 251);
  EXPECT_EQ(TrackerForSpins(area, {}), area);
  EXPECT_EQ(TrackerForSpins(area, {10, 20, 5, 7}), QRect(33, 11, 302, 221));
  EXPECT_EQ(SpinsForTracker(area, QRect(33, 11, 302, 221)), (CropSpins{10, 20, 5, 7}));

  // Resizing past an edge stops at the edge; the other edges stay.
  EXPECT_EQ(KeepInArea(QRect(40, 10, 400, 100), area, false), QRect(40, 10, 302, 100));
  EXPECT_EQ(KeepInArea(QRect(10, -5, 100, 100), area, false), QRect(28, 1, 82, 94));
  // Moving past an edge keeps the size and stops at the edge.
  EXPECT_EQ(KeepInArea(QRect(300, 200, 100, 100), area, true), QRect(242, 152, 100, 100));
  EXPECT_EQ(SpinsForTracker(area, KeepInArea(QRect(300, 200, 100, 100), area, true)).Right, 0);

  // At the minimum height, Up and Down cannot shrink it further; Left still can.
  const QRect thin(28, 100, 314, kTrackerMinimum);
  const CropSpins accepted{99, 142, 0, 0};
  EXPECT_EQ(StepSpins(accepted, {100, 142, 0, 0}, thin), accepted);
  EXPECT_EQ(StepSpins(accepted, {99, 143, 0, 0}, thin), accepted);
  EXPECT_EQ(StepSpins(accepted, {98, 142, 0, 0}, thin), (CropSpins{98, 142, 0, 0})) << "growing is fine";
  EXPECT_EQ(StepSpins(accepted, {99, 142, 1, 0}, thin), (CropSpins{99, 142, 1, 0}));
  EXPECT_EQ(StepSpins({}, {-1, 0, 0, 0}, QRect(0, 0, 50, 50)), CropSpins{}) << "no negative margins";

  EXPECT_EQ(ZoomChoiceOf("pan"), 0) << "pan and scan comes back as full screen";
  EXPECT_EQ(ZoomChoiceOf("lbox"), 1);
  EXPECT_EQ(ZoomChoiceOf("center"), -1);
}

TEST(RectTracker, ZonesAndDragRules) {
  const QSize size(100, 60);
  EXPECT_EQ(TrackerHitZone(size, {1, 1}), kZoneTopLeft);
  EXPECT_EQ(TrackerHitZone(size, {98, 58}), kZoneBottomRight);
  EXPECT_EQ(TrackerHitZone(size, {1, 58}), kZoneBottomLeft);
  EXPECT_EQ(TrackerHitZone(size, {98, 1}), kZoneTopRight);
  EXPECT_EQ(TrackerHitZone(size, {2, 30}), kZoneLeft) << "the middle handle starts at ceil(60 / 2) - 3";
  EXPECT_EQ(TrackerHitZone(size, {97, 28}), kZoneRight);
  EXPECT_EQ(TrackerHitZone(size, {50, 0}), kZoneTop);
  EXPECT_EQ(TrackerHitZone(size, {50, 59}), kZoneBottom);
  EXPECT_EQ(TrackerHitZone(size, {50, 30}), kZoneMove);
  EXPECT_EQ(TrackerHitZone(size, {0, 15}), kZoneNone) << "on the border between handles";

  const QRect bounds(10, 10, 100, 60);
  QPoint press(2, 30);
  EXPECT_EQ(DragTrackerBounds(bounds, kZoneLeft, press, {12, 30}), QRect(20, 10, 90, 60));
  press = {2, 30};
  EXPECT_EQ(DragTrackerBounds(bounds, kZoneLeft, press, {200, 30}), QRect(100, 10, 10, 60)) << "minimum width";
  press = {97, 30};
  EXPECT_EQ(DragTrackerBounds(bounds, kZoneRight, press, {87, 30}), QRect(10, 10, 90, 60));
  EXPECT_EQ(press, QPoint(87, 30)) << "the press point follows the far edge";
  press = {97, 30};
  EXPECT_EQ(DragTrackerBounds(bounds, kZoneBottomRight, press, {0, 0}), QRect(10, 10, 10, 30));
  press = {50, 30};
  EXPECT_EQ(DragTrackerBounds(bounds, kZoneMove, press, {55, 20}), QRect(15, 0, 100, 60));
}

// A left-button move with the button held, as the window system sends it.
void dragTo(QWidget* widget, QPoint point) {
  QMouseEvent move(QEvent::MouseMove, point, widget->mapToGlobal(point), Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(widget, &move);
}

TEST(RectTracker, MouseDragsAnEdgeAndReportsTheChange) {
  QWidget parent;
  parent.resize(300, 200);
  auto* tracker = new TRectTracker(&parent);
  tracker->setGeometry(20, 20, 100, 60);
  parent.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
  QRect reported;
  QObject::connect(tracker, &TRectTracker::Change, [&](QRect inner) { reported = inner; });

  const QPoint handle = TrackerHandle(tracker->size(), kZoneRight).center();
  QTest::mousePress(tracker, Qt::LeftButton, {}, handle);
  dragTo(tracker, handle + QPoint(30, 0));
  QTest::mouseRelease(tracker, Qt::LeftButton, {}, handle + QPoint(30, 0));
  EXPECT_EQ(tracker->geometry(), QRect(20, 20, 130, 60));
  EXPECT_EQ(reported, QRect(QPoint(22, 22), QPoint(148, 78)));

  reported = {};
  QTest::mouseClick(tracker, Qt::LeftButton, {}, QPoint(50, 30));
  EXPECT_EQ(reported, QRect()) << "a click that moves nothing reports nothing";
}

class CropEditor : public MainWindowFixture {
 protected:
  // Opens the crop editor on the selected job through the job popup, runs
  // `edit` once the dialog plays, and returns when the dialog has closed.
  void EditCrop(const std::function<void(TfrmCrop&)>& edit) {
    bool edited = false;
    WhenPlaying<TfrmCrop>([&](TfrmCrop& crop) {
      edit(crop);
      edited = true;
    });
    window.Jobs().Select(0);
    QTest::mouseClick(window.controls().BtnEdit, Qt::LeftButton);
    QMenu* popup = window.menus().pmFiles;
    ASSERT_TRUE(waitFor([&] { return popup->isVisible(); }));
    WithinTime(60000, [&] {
      QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(window.menus().popCrop).center());
    });
    ASSERT_TRUE(edited);
  }

  std::string WriteClip(const test_media::VideoSpec& video) {
    const std::string clip = home.file("clip.mp4");
    test_media::WriteMedia({.muxer = "mp4", .video = video, .seconds = 3}, clip);
    return clip;
  }
};

// Mean difference of luma between the inner part of a source picture (cut by
// `crop` on every side) and a converted picture, on a coarse grid.
double meanDifference(const AVFrame& source, int crop, const AVFrame& output) {
  constexpr int kGrid = 16;
  double sum = 0;
  for (int row = 0; row < kGrid; ++row)
    for (int column = 0; column < kGrid; ++column) {
      const double u = (column + 0.5) / kGrid, v = (row + 0.5) / kGrid;
      const int sx = crop + int(u * (source.width - 2 * crop)), sy = crop + int(v * (source.height - 2 * crop));
      const int ox = int(u * output.width), oy = int(v * output.height);
      sum += std::abs(source.data[0][sy * source.linesize[0] + sx] - output.data[0][oy * output.linesize[0] + ox]);
    }
  return sum / (kGrid * kGrid);
}

// The first decoded picture of a file, as planes copied out.
struct FirstPicture {
  explicit FirstPicture(const std::string& path) {
    ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
      if (!frame_) frame_.reset(media::av_frame_clone(&frame));
    });
  }
  ~FirstPicture() {
    AVFrame* frame = frame_.release();
    if (frame) media::av_frame_free(&frame);
  }
  std::unique_ptr<AVFrame> frame_;
};

TEST_F(CropEditor, SixteenPixelsOffEachSideIsWhatConverts) {
  // A still picture (every frame the same) with fine detail, so any shift shows.
  const std::string clip = WriteClip({.encoder = "mpeg4", .width = 320, .height = 240, .gopSize = 1});
  IniFile settings(home.settingsPath().toStdString());
  settings.writeString("settings", "FormatCode", "200");
  settings.writeString("formatInfo200", "parazoom", "full");
  Show();
  window.AddFiles({QString::fromStdString(clip)});
  ASSERT_EQ(window.Jobs().Count(), 1);

  EditCrop([&](TfrmCrop& crop) {
    const TfrmCrop::Controls& ui = crop.controls();
    QTest::mouseClick(ui.imgbtnPause, Qt::LeftButton);
    // 320 x 240 in the preview image: 336 x 251 preview pixels, so a margin
    // of 17 preview pixels is 16 source pixels horizontally and vertically.
    ASSERT_EQ(crop.PictureArea(), QRect(17, 1, 336, 251));
    const QPoint handle = TrackerHandle(ui.tracker->size(), kZoneLeft).center();
    QTest::mousePress(ui.tracker, Qt::LeftButton, {}, handle);
    dragTo(ui.tracker, handle + QPoint(17, 0));
    QTest::mouseRelease(ui.tracker, Qt::LeftButton, {}, handle);
    EXPECT_EQ(ui.spnLeft->value(), 17);
    for (QSpinBox* spin : {ui.spnUp, ui.spnDown, ui.spnRight}) {
      spin->setFocus();
      for (int step = 0; step < 17; ++step) QTest::keyClick(spin, Qt::Key_Up);
      EXPECT_EQ(spin->value(), 17);
    }
    EXPECT_EQ(ui.tracker->geometry(), QRect(34, 18, 302, 217));
    QTest::mouseClick(ui.btnOk, Qt::LeftButton);
  });
  const TlvFilesRecord& record = window.Jobs().Record(0);
  EXPECT_EQ((std::vector<int>{record.CropTop, record.CropLeft, record.CropBottom, record.CropRight}),
            (std::vector<int>{16, 16, 16, 16}));
  EXPECT_EQ((std::vector<int>(record.CropFrame, record.CropFrame + 4)), (std::vector<int>{17, 17, 17, 17}));

  WithinTime(120000, [&] { QTest::mouseClick(window.controls().btnStart, Qt::LeftButton); });
  const FirstPicture source(clip), output((home.path() + "/clipforge/clip_(new).3gp").toStdString());
  ASSERT_TRUE(source.frame_ && output.frame_);
  const double cropped = meanDifference(*source.frame_, 16, *output.frame_);
  EXPECT_LT(cropped, 12) << "the output shows the source without 16 pixels on each side";
  EXPECT_GT(meanDifference(*source.frame_, 0, *output.frame_), cropped + 5) << "and not the whole source";
}

TEST_F(CropEditor, ResetAfterDraggingAndCancelKeepsTheJob) {
  const std::string clip = WriteClip({.encoder = "mpeg4", .width = 320, .height = 240});
  Show();
  window.AddFiles({QString::fromStdString(clip)});
  window.Jobs().Record(0).CropFrame[0] = 5;  // from an earlier "Ok"

  EditCrop([&](TfrmCrop& crop) {
    const TfrmCrop::Controls& ui = crop.controls();
    EXPECT_EQ(ui.spnUp->value(), 5) << "the stored rectangle comes back";
    // The playing pictures reach the preview image (the test pattern is never black).
    const QPoint centre = crop.PictureArea().center();
    EXPECT_TRUE(waitFor([&] { return qGray(ui.imgPreview->Picture().pixel(centre)) > 20; }, 3000));
    const QString path = QString::fromStdString(clip);
    EXPECT_EQ(ui.lblSource->text(), path.size() <= 50 ? path : path.left(44) + "..mp4  ");
    EXPECT_EQ(ui.lblLength->text(), "3.000 Second");
    // Drag the body far down and right: it stops at the picture's corner.
    const QPoint middle = ui.tracker->rect().center();
    QTest::mousePress(ui.tracker, Qt::LeftButton, {}, middle);
    dragTo(ui.tracker, middle + QPoint(500, 500));
    QTest::mouseRelease(ui.tracker, Qt::LeftButton, {}, middle);
    EXPECT_EQ(ui.tracker->geometry().bottomRight(), crop.PictureArea().bottomRight());
    EXPECT_EQ(ui.spnRight->value(), 0);
    EXPECT_EQ(ui.spnDown->value(), 0);
    QTest::mouseClick(ui.btnReset, Qt::LeftButton);
    EXPECT_EQ(ui.tracker->geometry(), crop.PictureArea());
    for (QSpinBox* spin : {ui.spnUp, ui.spnDown, ui.spnLeft, ui.spnRight}) EXPECT_EQ(spin->value(), 0);
    QTest::mouseClick(ui.btnCancel, Qt::LeftButton);
  });
  EXPECT_EQ(window.Jobs().Record(0).CropFrame[0], 5);
  EXPECT_EQ(window.Jobs().Record(0).CropTop, 0);
}

}  // namespace

namespace {

// "Auto" in the dialog, then waits until the detection has set the spins.
void ClickAuto(TfrmCrop& crop) {
  const TfrmCrop::Controls& ui = crop.controls();
  QTest::mouseClick(ui.btnAuto, Qt::LeftButton);
  EXPECT_FALSE(ui.btnAuto->isEnabled()) << "one detection at a time";
  EXPECT_TRUE(waitFor([&] { return ui.btnAuto->isEnabled(); }, 20000));
}

TEST_F(CropEditor, AutoFindsTheBarsOfALetterboxedPicture) {
  // 2.35:1 inside 16:9: 320 x 136 of picture between 22-row bars.
  WriteClip({.encoder = "mpeg4", .width = 320, .height = 180, .letterboxRows = 22});
  Show();
  window.AddFiles({QString::fromStdString(home.file("clip.mp4"))});
  EditCrop([&](TfrmCrop& crop) {
    ClickAuto(crop);
    const TfrmCrop::Controls& ui = crop.controls();
    EXPECT_EQ(ui.spnLeft->value(), 0);
    EXPECT_EQ(ui.spnRight->value(), 0);
    EXPECT_EQ(ui.tracker->geometry(), TrackerForSpins(crop.PictureArea(), {ui.spnUp->value(), ui.spnDown->value()}));
    QTest::mouseClick(ui.btnOk, Qt::LeftButton);
  });
  const TlvFilesRecord& record = window.Jobs().Record(0);
  EXPECT_NEAR(record.CropTop, 22, 4);
  EXPECT_NEAR(record.CropBottom, 22, 4);
  EXPECT_EQ(record.CropLeft, 0);
  EXPECT_EQ(record.CropRight, 0);
  EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(CropEditor, CancelDuringAutoWaitsForItAndKeepsTheJob) {
  WriteClip({.encoder = "mpeg4", .width = 320, .height = 180, .letterboxRows = 22});
  Show();
  window.AddFiles({QString::fromStdString(home.file("clip.mp4"))});
  EditCrop([&](TfrmCrop& crop) {
    QTest::mouseClick(crop.controls().btnAuto, Qt::LeftButton);
    QTest::mouseClick(crop.controls().btnCancel, Qt::LeftButton);
  });
  EXPECT_FALSE(window.findChild<TfrmCrop*>()->isVisible());
  EXPECT_EQ(window.Jobs().Record(0).CropTop, 0);
}

TEST_F(CropEditor, AutoReadsADvdTitleWhileItPlays) {
  Show();
  OpenFolderOrImage(QString::fromStdString(test_dvd::Path(test_dvd::Disc::Folder)));
  ASSERT_EQ(window.Jobs().Count(), 3);
  EditCrop([&](TfrmCrop& crop) {
    ASSERT_EQ(crop.PictureArea(), QRect(28, 1, 314, 251)) << "720 x 576";
    ClickAuto(crop);
    EXPECT_EQ(crop.controls().spnUp->value(), 0) << "the test title has no bars";
    EXPECT_EQ(crop.Player().LastErrorMessage(), "") << "the player reads on undisturbed";
    QTest::mouseClick(crop.controls().btnOk, Qt::LeftButton);
  });
  EXPECT_TRUE(prompts.asked.isEmpty());
}

}  // namespace

namespace {

// A phone clip stored sideways: the editor shows it upright, its spins are
// margins of the upright picture, and they cut the converted file there.
TEST_F(CropEditor, TurnedClipIsShownAndCutUpright) {
  const auto& quarter = turned_clips::kTurns[1];  // the marker shows at the top right
  const std::string clip = home.file("turned.mp4");
  test_media::WriteMedia({.muxer = "mp4",
                          .video = test_media::VideoSpec{.encoder = "mpeg4", .width = 320, .height = 240,
                                                         .cornerMarker = true, .displayMatrix = quarter.matrix},
                          .seconds = 2},
                         clip);
  IniFile settings(home.settingsPath().toStdString());
  settings.writeString("settings", "FormatCode", "200");
  settings.writeString("formatInfo200", "parazoom", "full");
  Show();
  window.AddFiles({QString::fromStdString(clip)});
  const QString output = home.path() + "/clipforge/turned_(new).3gp";
  WithinTime(120000, [&] { QTest::mouseClick(window.controls().btnStart, Qt::LeftButton); });
  EXPECT_EQ(turned_clips::MarkerSide(output.toStdString()), std::make_pair(1, -1)) << "upright without a crop";
  ASSERT_TRUE(QFile::remove(output));

  EditCrop([&](TfrmCrop& crop) {
    const TfrmCrop::Controls& ui = crop.controls();
    const QRect area = crop.PictureArea();
    EXPECT_GT(area.height(), area.width()) << "a portrait picture";
    auto gray = [&](double u, double v) {
      return qGray(ui.imgPreview->Picture().pixel(area.left() + int(u * area.width()), area.top() + int(v * area.height())));
    };
    EXPECT_TRUE(waitFor([&] { return gray(0.85, 0.15) > 128; }, 3000)) << "the marker at the top right";
    EXPECT_LT(gray(0.15, 0.15), 64);
    EXPECT_LT(gray(0.85, 0.85), 64);
    // Cut the right half of the upright picture off (each key moves the edge a pixel).
    ui.spnRight->setFocus();
    for (int step = 0; step < area.width() / 2; ++step) QTest::keyClick(ui.spnRight, Qt::Key_Up);
    QTest::mouseClick(ui.btnOk, Qt::LeftButton);
  });
  const TlvFilesRecord& record = window.Jobs().Record(0);
  EXPECT_NEAR(record.CropRight, 120, 2) << "half of the upright width";
  EXPECT_EQ(record.CropTop, 0);
  WithinTime(120000, [&] { QTest::mouseClick(window.controls().btnStart, Qt::LeftButton); });
  EXPECT_EQ(turned_clips::MarkerSide(output.toStdString()), std::make_pair(0, 0)) << "the marker's half is cut off";
}

}  // namespace
