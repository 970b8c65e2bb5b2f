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
#include "platform/FfmpegAnalyser.h"
#include "platform/QtHttpClient.h"
#include "platform/QtProfileStore.h"
#include "platform/SystemClock.h"
#include "platform/TagLibTagReader.h"
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
  velvane::QtHttpClient http;
  velvane::TagLibTagReader tags;
  velvane::FfmpegAnalyser analyser;
  velvane::ToolContext context{profile, clock, std::cout, std::cerr, &tags, &http, &analyser};
  context.bTerminal = isatty(STDERR_FILENO) != 0;  // where the progress line goes
  context.catchInterrupt = &CatchInterrupt;
  context.makeHttp = [](std::chrono::milliseconds timeout) -> std::unique_ptr<velvane::HttpClient> {
    return std::make_unique<velvane::QtHttpClient>(timeout, timeout);
  };
  return velvane::RunTool(args, context);
}
