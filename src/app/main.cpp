#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "app/MediaOnDemand.h"
#include "app/RadioApp.h"
#include "core/demo/DemoLibrary.h"
#include "core/settings/ProgramInfo.h"
#include "core/settings/Settings.h"
#include "gui/main/CommandLine.h"
#include "platform/QtProfileStore.h"
#include "platform/SystemClock.h"

namespace {

const char* const kDemoApplicationName = "velvane-demo";

// `--demo`: makes the demo library once and, while the demo's own settings store has never
// been saved, saves the demo settings into it. The operator's real settings are not touched.
bool PrepareDemo(velvane::AudioAnalyser& analyser) {
  const QString root =
      QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/demo";
  velvane::Settings settings;
  std::string strError;
  if (!velvane::EnsureDemoLibrary(root.toStdString(), settings, strError)) {
    QMessageBox::warning(nullptr, QString::fromUtf8(velvane::kProgramTitle),
                         QString::fromStdString(strError));
    return false;
  }
  velvane::SystemClock clock;
  velvane::AnalyseDemoTunes(settings, analyser, clock);
  velvane::QtProfileStore profile(kDemoApplicationName);
  velvane::Settings installed;
  if (!velvane::LoadSettings(profile, installed)) {
    velvane::SaveSettings(profile, settings);
  }
  return true;
}

std::vector<std::string> ArgumentsOf(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
  using Action = velvane::DesktopCommandLine::Action;
  // Help and version are answered before Qt starts: they need no window system.
  const Action early = velvane::ParseDesktopCommandLine(ArgumentsOf(argc, argv)).action;
  if (early == Action::kHelp || early == Action::kVersion) {
    std::cout << (early == Action::kHelp ? velvane::DesktopHelp() : velvane::DesktopVersion());
    return 0;
  }
  QApplication app(argc, argv);
  // Qt has set the C locale from the environment; the audio engine (libmpv) needs a "C" numeric
  // category to create a player. Set once here, before any thread starts: setlocale is not
  // thread safe. Qt formats the program's own numbers through QLocale, so they are unaffected.
  std::setlocale(LC_NUMERIC, "C");  // NOLINT(concurrency-mt-unsafe): no other thread yet
  // Matches the installed velvane.desktop, so a desktop shows the menu entry's name and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("velvane"));
  // Qt has taken its own options (-platform, -style, ...) out of argv; the rest are ours.
  const velvane::DesktopCommandLine commandLine =
      velvane::ParseDesktopCommandLine(ArgumentsOf(argc, argv));
  if (commandLine.action == Action::kUsageError) {
    std::cerr << velvane::DesktopUsageError(commandLine.strError);
    return 2;
  }
  // The media libraries load once the window is up, or when something needs them first.
  velvane::MediaOnDemand media(QCoreApplication::applicationDirPath());
  const bool bDemo = commandLine.bDemo;
  if (bDemo && !PrepareDemo(media)) {
    return 1;
  }
  velvane::CRadioApp radio(bDemo ? QString::fromUtf8(kDemoApplicationName)
                                 : velvane::CRadioApp::ApplicationNameFromProgramFile(),
                           media);
  return radio.Run();
}
