#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/IniFile.h"
#include "settings/ParameterCombos.h"

class QComboBox;
class QPushButton;
class QWidget;

// The main window's video and audio parameters: applies a format's lists and
// stored choices to the combos and writes every choice at once into the
// current format's section of the settings file. UI thread only.
class TParameterPanel : public QObject {
 public:
  struct Files {
    std::function<IniFile()> settings, catalogue;
    std::function<int()> formatCode;
  };
  TParameterPanel(const TParameterCombos& combos, QPushButton* btnDefault, QWidget* window, Files files);

  // Fills the combos for the current format; writes nothing.
  void ApplyFormat();
  // The check run when the frame size field is left; stores a valid or
  // corrected size.
  void cmbVideoSizeExit();
  void btnDefaultClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectCombos();
  void StoreIndexed(QComboBox* combo, const char* indexKey, const char* paraKey,
                    std::optional<std::string> (*value)(std::string_view item));
  void StoreTyped(QComboBox* combo, const char* indexKey, const char* paraKey, parameter_combos::RateForm form,
                  const char* message);
  void StoreZoom();
  void StoreVideoSize();
  void Write(const char* key, const QString& value);
  void Write(const char* key, int value);

  TParameterCombos c_;
  QWidget* window_;
  Files files_;
  bool applying_ = false;  // set while the combos are filled by the program
};
