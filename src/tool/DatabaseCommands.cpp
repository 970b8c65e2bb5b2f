#include "tool/ToolEnvironment.h"

namespace velvane {

int RunResave(ToolEnvironment& env, const std::vector<std::string>& args) {
  if (!env.NoArguments("resave", args) || !env.LockAndLoad() || !env.SaveDatabases()) {
    return kToolUsage;
  }
  env.context.out << "playlist: " << env.store.PlaylistCount()
                  << " records, charts: " << env.store.ChartCount() << " entries\n";
  return kToolSuccess;
}

}  // namespace velvane
