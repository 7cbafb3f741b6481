#pragma once

#include <QLabel>

// A one-line label that keeps its full text (text(), tool tip) but draws it
// shortened with "..." in the middle when it does not fit its width.
class TElidedLabel : public QLabel {
 public:
  using QLabel::QLabel;

  void SetFullText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
