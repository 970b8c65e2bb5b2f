#include "tool/ToolEnvironment.h"

namespace velvane {

int RunResave(ToolEnvironment& env, const std::vector<std::string>& args) {
  if (!args.empty()) {
    env.context.err << "velvane-tool: resave takes no arguments\n";
    return kToolUsage;
  }
  // Locked before loading, so no other writer changes the files between the two.
  if (!env.LockDatabaseFolder() || !env.LoadDatabases()) {
    return kToolUsage;
  }
  const std::string& folder = env.settings.strFilesDir;
  if (!env.database.LoadedCompletely()) {
    // Saving now would drop the records that did not fit.
    env.context.err << "velvane-tool: not saved; raise the database sizes first\n";
    return kToolUsage;
  }
  SaveOutcome outcome = env.database.SavePlaylist(folder);
  if (outcome) {
    outcome = env.database.SaveCharts(folder);
  }
  if (!outcome) {
    env.context.err << "velvane-tool: not saved: " << outcome.Describe() << '\n';
    return kToolUsage;
  }
  env.context.out << "playlist: " << env.store.PlaylistCount()
                  << " records, charts: " << env.store.ChartCount() << " entries\n";
  return kToolSuccess;
}

}  // namespace velvane
