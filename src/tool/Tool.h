#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/ports/Clock.h"
#include "core/ports/HttpClient.h"
#include "core/ports/ProfileStore.h"

namespace velvane {

// Exit status of velvane-tool.
inline constexpr int kToolSuccess = 0;
inline constexpr int kToolNotFound = 1;  // "not found" and "falls short" answers
inline constexpr int kToolUsage = 2;     // bad usage, or an unusable folder or file

// What the tool needs from the world: the desktop program's settings, the clock, the two
// output streams and the update server's HTTP client (null where there is none).
struct ToolContext {
  ProfileStore& profile;
  Clock& clock;
  std::ostream& out;
  std::ostream& err;
  HttpClient* pHttp = nullptr;
};

// velvane-tool [--db DIR] [--music DIR] COMMAND [ARGS]; `args` excludes the program name.
int RunTool(const std::vector<std::string>& args, ToolContext& context);

}  // namespace velvane
