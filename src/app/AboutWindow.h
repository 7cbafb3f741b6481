#pragma once

#include <QDialog>

class TGlobalObject;

// The About window: product title and the web site as a link.
class TfrmAbout : public QDialog {
 public:
  TfrmAbout(const TGlobalObject& global, QWidget* parent);
};
