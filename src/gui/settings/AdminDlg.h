#pragma once

#include <QDialog>

#include "core/playback/RadioCore.h"
#include "core/ports/FileChooser.h"

namespace velvane {

// "Velvane Admin": folders, timers, volume, play mode, database sizes and the update server,
// with the menu of maintenance tools. Works on the main window's core directly.
class CAdminDlg : public QDialog {
  Q_OBJECT

 public:
  CAdminDlg(RadioCore& core, FileChooser& chooser, QWidget* pParent = nullptr);

  // Runs the dialog modally; returns true when it was left with "Save And Exit" (the values
  // are then stored and saved). The caller has checked RadioCore::CanOpenAdmin().
  static bool Run(RadioCore& core, FileChooser& chooser, QWidget* pParent);

 private:
  RadioCore& m_core;
  FileChooser& m_chooser;
};

}  // namespace velvane
