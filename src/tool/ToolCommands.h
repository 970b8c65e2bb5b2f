#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tool/ToolEnvironment.h"

namespace velvane {

// One line of a help list: an option or argument and what it means.
struct HelpLine {
  const char* pszName;
  const char* pszMeaning;
};

// A command as it describes itself; the usage text and `COMMAND --help` are built from this.
struct CommandInfo {
  const char* pszName;
  ToolCommand run;
  const char* pszArgs;     // what follows the name, as in the usage line
  const char* pszSummary;  // one line in the command list
  const char* pszDetails;  // what it prints, for its own help
  std::vector<HelpLine> arguments;
  bool bUsesMedia = false;  // needs the tag reader, an HTTP client or the analyser
};

// The command of that name, or null.
const CommandInfo* FindCommand(const std::string& strName);

// "--help": the usage with one line per option and command.
void PrintHelp(std::ostream& out);
// "COMMAND --help": what the command does and its arguments.
void PrintCommandHelp(std::ostream& out, const CommandInfo& command);
// A usage error: what was wrong, then where to read more. Returns the exit status.
int UsageError(std::ostream& err, const std::string& strError);
// Whether the command's arguments ask for its help.
bool AsksForHelp(const std::vector<std::string>& args);

}  // namespace velvane
