#pragma once

#include <QImage>
#include <QWidget>

// A fixed-size picture that keeps what was last drawn on it (like a canvas):
// the background colour, or a frame fitted into it with its proportions kept
// and the background around it. UI thread only.
class TPreviewPicture : public QWidget {
 public:
  TPreviewPicture(QSize size, QColor background, QWidget* parent = nullptr);

  // Fills the whole picture with the background colour.
  void Clear();
  // Background, then frame stretched into FitRect(frame, picture); a frame
  // without area leaves the picture as it is.
  void Draw(const QImage& frame);
  // What the picture shows now, in its own size.
  const QImage& Picture() const { return canvas_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage canvas_;
  QColor background_;
};
