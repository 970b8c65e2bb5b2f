#include "tool/ToolOptions.h"

#include <algorithm>

#include "core/db/Paths.h"

namespace velvane {

std::optional<ToolOptions> ParseToolOptions(const std::vector<std::string>& args,
                                            std::string& error) {
  ToolOptions options;
  std::size_t i = 0;
  for (; i < args.size() && args[i].rfind('-', 0) == 0; ++i) {
    const std::string& flag = args[i];
    if (flag == "-h" || flag == "--help" || flag == "--version") {
      (flag == "--version" ? options.bVersion : options.bHelp) = true;
      return options;
    }
    if (flag != "--db" && flag != "--music") {
      error = "unknown option " + flag;
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = flag + " needs a folder";
      return std::nullopt;
    }
    (flag == "--db" ? options.db : options.music) = WithTrailingSeparator(args[++i]);
  }
  if (i >= args.size()) {
    error = "no command given";
    return std::nullopt;
  }
  options.strCommand = args[i];
  options.args.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
  return options;
}

CommandArgs::CommandArgs(const std::vector<std::string>& args,
                         const std::vector<std::string>& valueFlags,
                         const std::vector<std::string>& plainFlags) {
  auto contains = [](const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (contains(valueFlags, arg)) {
      if (i + 1 >= args.size()) {
        m_strError = arg + " needs a value";
        return;
      }
      m_values.emplace_back(arg, args[++i]);
    } else if (contains(plainFlags, arg)) {
      m_flags.push_back(arg);
    } else if (arg.rfind("--", 0) == 0) {
      m_strError = "unknown option " + arg;
      return;
    } else {
      m_positional.push_back(arg);
    }
  }
}

std::optional<std::string> CommandArgs::Value(const std::string& flag) const {
  for (const auto& [name, value] : m_values) {
    if (name == flag) {
      return value;
    }
  }
  return std::nullopt;
}

bool CommandArgs::Has(const std::string& flag) const {
  return std::find(m_flags.begin(), m_flags.end(), flag) != m_flags.end();
}

}  // namespace velvane
