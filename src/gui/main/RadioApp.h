#pragma once

#include <QString>

namespace velvane {

// The application object: builds the real adapters (audio over mpv, the system clock, message
// boxes, the settings store of `applicationName`, file dialogs), brings up the main window and
// runs until it closes.
class CRadioApp {
 public:
  explicit CRadioApp(QString applicationName) : m_applicationName(std::move(applicationName)) {}

  // Needs a QApplication. Returns the program's exit status.
  int Run();

  // The settings name of the desktop program: the program file's name without extension.
  static QString ApplicationNameFromProgramFile();

 private:
  QString m_applicationName;
};

}  // namespace velvane
