#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>
#include <string>

#include "core/demo/DemoLibrary.h"
#include "core/settings/ProgramInfo.h"
#include "core/settings/Settings.h"
#include "gui/main/RadioApp.h"
#include "platform/QtProfileStore.h"

namespace {

const char* const kDemoApplicationName = "velvane-demo";

// `--demo`: makes the demo library once and, while the demo's own settings store has never
// been saved, saves the demo settings into it. The operator's real settings are not touched.
bool PrepareDemo() {
  const QString root =
      QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/demo";
  velvane::Settings settings;
  std::string strError;
  if (!velvane::EnsureDemoLibrary(root.toStdString(), settings, strError)) {
    QMessageBox::warning(nullptr, QString::fromUtf8(velvane::kProgramTitle),
                         QString::fromStdString(strError));
    return false;
  }
  velvane::QtProfileStore profile(kDemoApplicationName);
  velvane::Settings installed;
  if (!velvane::LoadSettings(profile, installed)) {
    velvane::SaveSettings(profile, settings);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool bDemo = QApplication::arguments().contains(QStringLiteral("--demo"));
  if (bDemo && !PrepareDemo()) {
    return 1;
  }
  velvane::CRadioApp radio(bDemo ? QString::fromUtf8(kDemoApplicationName)
                                 : velvane::CRadioApp::ApplicationNameFromProgramFile());
  return radio.Run();
}
