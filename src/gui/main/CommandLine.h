#pragma once

#include <string>
#include <vector>

namespace velvane {

// What the desktop program's command line asks for. It is read before Qt starts, so that help
// and version need no window system, and again once Qt has taken its own options out.
struct DesktopCommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  bool bDemo = false;    // --demo
  std::string strError;  // what was wrong, for kUsageError
};

// `args` without the program name. Help and version win over anything else given.
DesktopCommandLine ParseDesktopCommandLine(const std::vector<std::string>& args);

// "--help": the usage line and one line per option.
std::string DesktopHelp();
// "--version": "velvane 1.1.1.0".
std::string DesktopVersion();
// A usage error: what was wrong, the usage line and where to read more.
std::string DesktopUsageError(const std::string& strError);

}  // namespace velvane
