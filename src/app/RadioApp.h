#pragma once

#include <QString>
#include <utility>

#include "app/MediaOnDemand.h"

namespace velvane {

// The application object and the program's one place of composition: it builds the real
// adapters (the system clock, message boxes, the settings store of `applicationName`, file
// dialogs) and, with `media`, those of the media module (audio over mpv, tags, track analysis,
// HTTP), hands them to the main window as ports, brings the window up and runs until it closes.
class CRadioApp {
 public:
  CRadioApp(QString applicationName, MediaOnDemand& media)
      : m_applicationName(std::move(applicationName)), m_media(media) {}

  // Needs a QApplication. Returns the program's exit status.
  int Run();

  // The settings name of the desktop program: the program file's name without extension.
  static QString ApplicationNameFromProgramFile();

 private:
  QString m_applicationName;
  MediaOnDemand& m_media;
};

}  // namespace velvane
