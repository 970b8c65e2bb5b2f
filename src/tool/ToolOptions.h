#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velvane {

struct ToolOptions {
  bool bHelp = false;                // -h / --help before the command
  bool bVersion = false;             // --version before the command
  std::optional<std::string> db;     // --db DIR, with its trailing separator
  std::optional<std::string> music;  // --music DIR, with its trailing separator
  std::string strCommand;
  std::vector<std::string> args;  // what follows the command
};

// Returns nothing and sets `error` on bad usage. Help and version need no command.
std::optional<ToolOptions> ParseToolOptions(const std::vector<std::string>& args,
                                            std::string& error);

// For the command arguments: the value of "--name VALUE"; true when the flag is present.
// Unknown flags are reported through `error`.
class CommandArgs {
 public:
  CommandArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueFlags,
              const std::vector<std::string>& plainFlags);
  bool Ok() const { return m_strError.empty(); }
  const std::string& Error() const { return m_strError; }
  std::optional<std::string> Value(const std::string& flag) const;
  bool Has(const std::string& flag) const;
  const std::vector<std::string>& Positional() const { return m_positional; }

 private:
  std::vector<std::pair<std::string, std::string>> m_values;
  std::vector<std::string> m_flags;
  std::vector<std::string> m_positional;
  std::string m_strError;
};

}  // namespace velvane
