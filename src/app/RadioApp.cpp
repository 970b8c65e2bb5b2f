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
  // Only now, with the databases read and the window shown: loading maps and protects memory
  // all the while, which holds up a reader's page faults on the other core.
  m_media.StartLoading();
  // Said once the load has ended, without holding up the window meanwhile; each command that
  // needs the module says it again.
  QTimer mediaCheck;
  QObject::connect(&mediaCheck, &QTimer::timeout, [this, &mediaCheck, &prompter] {
    if (!m_media.LoadEnded()) {
      return;
    }
    mediaCheck.stop();
    if (const std::string strProblem = m_media.Problem(); !strProblem.empty()) {
      prompter.Show(
          "The media libraries cannot be loaded, so nothing can be played, analysed, "
          "tagged or downloaded: " +
              strProblem,
          kProgramTitle, PromptIcon::Error, PromptButtons::Ok);
    }
  });
  mediaCheck.start(100);
  return QApplication::exec();
}

}  // namespace velvane
