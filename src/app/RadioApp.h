#pragma once

#include <QString>

namespace velvane {

// The application object and the program's one place of composition: it builds the real
// adapters (audio over mpv, the system clock, message boxes, the settings store of
// `applicationName`, file dialogs, tags, track analysis, HTTP), hands them to the main window
// as ports, brings the window up and runs until it closes.
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
