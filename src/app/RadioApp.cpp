#include "app/RadioApp.h"

#include <QApplication>
#include <QFileInfo>
#include <chrono>
#include <memory>

#include "gui/main/RadioDlg.h"
#include "platform/FfmpegAnalyser.h"
#include "platform/MpvMci.h"
#include "platform/QtFileChooser.h"
#include "platform/QtHttpClient.h"
#include "platform/QtProfileStore.h"
#include "platform/QtPrompter.h"
#include "platform/SystemClock.h"
#include "platform/TagLibTagReader.h"

namespace velvane {

QString CRadioApp::ApplicationNameFromProgramFile() {
  return QFileInfo(QCoreApplication::applicationFilePath()).baseName();
}

int CRadioApp::Run() {
  MpvMci mci;
  SystemClock clock;
  QtPrompter prompter;
  QtProfileStore profile(m_applicationName);
  QtFileChooser chooser;
  TagLibTagReader tags;
  FfmpegAnalyser analyser;
  QtHttpClient http;
  const DialogPorts ports{chooser, tags, analyser, http,
                          [](std::chrono::milliseconds timeout) -> std::unique_ptr<HttpClient> {
                            return std::make_unique<QtHttpClient>(timeout, timeout);
                          }};

  CRadioDlg dialog(mci, clock, prompter, profile, ports, &mci);
  // The first-run message comes before the window shows, so it has no parent yet.
  dialog.OnInitDialog();
  prompter.SetParentWidget(&dialog);
  chooser.SetParentWidget(&dialog);
  return QApplication::exec();
}

}  // namespace velvane
