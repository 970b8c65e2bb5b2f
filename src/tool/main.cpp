#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <clocale>
#include <csignal>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/settings/ProgramInfo.h"
#include "platform/MediaModule.h"
#include "platform/QtProfileStore.h"
#include "platform/SystemClock.h"
#include "tool/Tool.h"

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

// The adapters the media commands use, made by the media module.
struct MediaAdapters {
  std::unique_ptr<velvane::TagReader> pTags;
  std::unique_ptr<velvane::HttpClient> pHttp;
  std::unique_ptr<velvane::AudioAnalyser> pAnalyser;
};

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
  MediaAdapters media;
  velvane::ToolContext context{profile, clock, std::cout, std::cerr};
  context.bTerminal = isatty(STDERR_FILENO) != 0;  // where the progress line goes
  context.catchInterrupt = &CatchInterrupt;
  context.loadMedia = [&](velvane::ToolContext& command) {
    std::string strProblem;
    const velvane::MediaModule* pModule =
        velvane::LoadMediaModule(QCoreApplication::applicationDirPath(), strProblem);
    if (pModule == nullptr) {
      command.err << "velvane-tool: cannot load the media module: " << strProblem << '\n';
      return false;
    }
    media = {pModule->MakeTagReader(), pModule->MakeHttpClient(), pModule->MakeAnalyser()};
    command.pTags = media.pTags.get();
    command.pHttp = media.pHttp.get();
    command.pAnalyser = media.pAnalyser.get();
    command.makeHttp = [pModule](std::chrono::milliseconds timeout) {
      return pModule->MakeHttpClient(timeout);
    };
    return true;
  };
  return velvane::RunTool(args, context);
}
