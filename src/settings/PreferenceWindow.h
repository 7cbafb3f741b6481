#pragma once

#include <QDialog>

#include <functional>

#include "frontend/IniFile.h"
#include "settings/PreferenceLayout.h"

// The preferences dialog: the snapshot folder, sizes, formats and JPEG
// quality, and the work priority of the conversion threads. Each showing loads
// the settings file into the controls; "&Ok" writes them back, "&Cancel"
// writes nothing. "&Brows" stores a newly chosen snapshot folder at once.
// Created on first use and kept. UI thread only.
class TfrmPreference : public QDialog {
  Q_OBJECT

 public:
  // A fresh handle on the settings file.
  using SettingsSource = std::function<IniFile()>;

  TfrmPreference(SettingsSource settings, QWidget* parent);

  const PreferenceControls& controls() const { return ui_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void ConnectControls();
  void KeepOneChecked(QCheckBox* clicked, QCheckBox* other);
  void ckJpgClick();
  void UpdateQualityEnabled();
  void btnOpenClick();
  void btnBrowsClick();
  void btnDefaultClick();
  void btnOkClick();
  void SelectPriority(int index);

  SettingsSource settings_;
  PreferenceControls ui_;
};
