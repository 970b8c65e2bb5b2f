#include "app/RadioApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <string>

#include "core/settings/ProgramInfo.h"
#include "gui/main/RadioDlg.h"
#include "platform/QtFileChooser.h"
#include "platform/QtProfileStore.h"
#include "platform/QtPrompter.h"
#include "platform/SystemClock.h"

namespace velvane {

QString CRadioApp::ApplicationNameFromProgramFile() {
  return QFileInfo(QCoreApplication::applicationFilePath()).baseName();
}

int CRadioApp::Run() {
  SystemClock clock;
  QtPrompter prompter;
  QtProfileStore profile(m_applicationName);
  QtFileChooser chooser;
  const DialogPorts ports{chooser, m_media, m_media, m_media, m_media.HttpMaker()};

  CRadioDlg dialog(m_media, clock, prompter, profile, ports, &m_media);
  // The first-run message comes before the window shows, so it has no parent yet.
  dialog.OnInitDialog();
  prompter.SetParentWidget(&dialog);
  chooser.SetParentWidget(&dialog);
  // Said once the window is up; each command that needs the module says it again.
  QTimer::singleShot(0, &dialog, [this, &prompter] {
    if (const std::string strProblem = m_media.Problem(); !strProblem.empty()) {
      prompter.Show(
          "The media libraries cannot be loaded, so nothing can be played, analysed, "
          "tagged or downloaded: " +
              strProblem,
          kProgramTitle, PromptIcon::Error, PromptButtons::Ok);
    }
  });
  return QApplication::exec();
}

}  // namespace velvane
