#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <atomic>
#include <clocale>
#include <csignal>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/ProgramInfo.h"
#include "platform/QtProfileStore.h"
#include "platform/SystemClock.h"
#include "tool/Tool.h"
#include "tool/ToolMedia.h"

namespace {

std::atomic<bool> g_bInterrupted{false};

extern "C" void OnInterrupt(int nSignal) {
  g_bInterrupted = true;
  std::signal(nSignal, SIG_DFL);  // the next one ends the program at once
}

const std::atomic<bool>* CatchInterrupt() {
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  return &g_bInterrupted;
}

// The media module beside the program (in the build tree), else where it is installed.
velvane::ToolMedia* LoadMediaModule(QLibrary& library, std::ostream& err) {
  const QDir programDir(QCoreApplication::applicationDirPath());
  QString strProblem;
  for (const char* pszDir : {".", VELVANE_MEDIA_MODULE_DIR}) {
    library.setFileName(programDir.filePath(QString::fromUtf8(pszDir) + "/velvane-media"));
    if (library.load()) {
      const auto entry =
          reinterpret_cast<velvane::ToolMediaEntry>(library.resolve(velvane::kToolMediaEntry));
      if (entry != nullptr) {
        return entry();
      }
    }
    strProblem = library.errorString();
  }
  err << "velvane-tool: cannot load the media module: " << strProblem.toStdString() << '\n';
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  velvane::QtProfileStore profile(velvane::kDesktopApplicationName);
  velvane::SystemClock clock;
  // The HTTP client waits in an event loop; Qt sees only the program name.
  int nQtArgs = 1;
  QCoreApplication app(nQtArgs, argv);
  // Qt has set the C locale from the environment; the media libraries read and print numbers
  // through the C library and expect a "C" numeric category, as in the desktop program. Set
  // once here, before the analysis threads start: setlocale is not thread safe.
  std::setlocale(LC_NUMERIC, "C");  // NOLINT(concurrency-mt-unsafe): no other thread yet
  QLibrary mediaLibrary;            // never unloaded: its adapters are used up to the end
  std::unique_ptr<velvane::ToolMedia> media;
  velvane::ToolContext context{profile, clock, std::cout, std::cerr};
  context.bTerminal = isatty(STDERR_FILENO) != 0;  // where the progress line goes
  context.catchInterrupt = &CatchInterrupt;
  context.loadMedia = [&](velvane::ToolContext& command) {
    media.reset(LoadMediaModule(mediaLibrary, command.err));
    if (!media) {
      return false;
    }
    command.pTags = &media->Tags();
    command.pHttp = &media->Http();
    command.pAnalyser = &media->Analyser();
    command.makeHttp = media->HttpMaker();
    return true;
  };
  return velvane::RunTool(args, context);
}
