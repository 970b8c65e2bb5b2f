#include "gui/main/CommandLine.h"

#include <algorithm>

#include "core/settings/ProgramInfo.h"

namespace velvane {

namespace {

const char* const kUsage = "usage: velvane [--demo]\n";

bool IsHelp(const std::string& arg) {
  return arg == "--help" || arg == "-h";
}

}  // namespace

DesktopCommandLine ParseDesktopCommandLine(const std::vector<std::string>& args) {
  DesktopCommandLine commandLine;
  if (std::any_of(args.begin(), args.end(), IsHelp)) {
    commandLine.action = DesktopCommandLine::Action::kHelp;
    return commandLine;
  }
  if (std::find(args.begin(), args.end(), "--version") != args.end()) {
    commandLine.action = DesktopCommandLine::Action::kVersion;
    return commandLine;
  }
  for (const std::string& arg : args) {
    if (arg == "--demo") {
      commandLine.bDemo = true;
    } else {
      commandLine.action = DesktopCommandLine::Action::kUsageError;
      commandLine.strError =
          (arg.rfind('-', 0) == 0 ? "unknown option " : "unexpected argument ") + arg;
      return commandLine;
    }
  }
  return commandLine;
}

std::string DesktopHelp() {
  return std::string(kUsage) + kProgramTitle +
         ": the desktop program with its two decks and play queue.\n"
         "\n"
         "options:\n"
         "  --demo       play the demo library (made on first use) with its own settings\n"
         "  -h, --help   show this help and exit\n"
         "  --version    show the version and exit\n";
}

std::string DesktopVersion() {
  return std::string("velvane ") + kVersionText + "\n";
}

std::string DesktopUsageError(const std::string& strError) {
  return "velvane: " + strError + "\n" + kUsage + "Run \"velvane --help\" for the options.\n";
}

}  // namespace velvane
