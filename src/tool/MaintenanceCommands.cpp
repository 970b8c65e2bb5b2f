#include <algorithm>
#include <filesystem>

#include "core/maintenance/CDImport.h"
#include "core/maintenance/MusicCheck.h"
#include "core/maintenance/Relationships.h"
#include "tool/ToolEnvironment.h"

namespace velvane {

namespace {

bool NoArguments(ToolEnvironment& env, const char* pszCommand,
                 const std::vector<std::string>& args) {
  if (args.empty()) {
    return true;
  }
  env.context.err << "velvane-tool: " << pszCommand << " takes no arguments\n";
  return false;
}

// For the commands that change the databases: the folder locked before loading, so no other
// writer changes the files between the two, and every record loaded, so a save drops none.
bool LockAndLoad(ToolEnvironment& env) {
  if (!env.LockDatabaseFolder() || !env.LoadDatabases()) {
    return false;
  }
  if (!env.database.LoadedCompletely()) {
    env.context.err << "velvane-tool: not saved; raise the database sizes first\n";
    return false;
  }
  return true;
}

bool SaveBoth(ToolEnvironment& env) {
  const std::string& folder = env.settings.strFilesDir;
  SaveOutcome outcome = env.database.SavePlaylist(folder);
  if (outcome) {
    outcome = env.database.SaveCharts(folder);
  }
  if (!outcome) {
    env.context.err << "velvane-tool: not saved: " << outcome.Describe() << '\n';
  }
  return static_cast<bool>(outcome);
}

int RunBuild(ToolEnvironment& env, const std::vector<std::string>& args, const char* pszCommand,
             void (*build)(TrackStore&, const BuildProgress&), const char* pszDone) {
  if (!NoArguments(env, pszCommand, args) || !LockAndLoad(env)) {
    return kToolUsage;
  }
  build(env.store, {});
  if (!SaveBoth(env)) {
    return kToolUsage;
  }
  env.context.out << pszDone << '\n';
  return kToolSuccess;
}

}  // namespace

int RunCheckMusic(ToolEnvironment& env, const std::vector<std::string>& args) {
  if (!NoArguments(env, "check-music", args) || !env.LoadDatabases()) {
    return kToolUsage;
  }
  const MusicCheckResult result = CheckMusicFiles(env.store, env.settings.strMusicDir,
                                                  env.settings.strFilesDir, env.context.clock);
  env.context.out << result.Status() << '\n';
  return result.AllFound() ? kToolSuccess : kToolNotFound;
}

int RunImportCD(ToolEnvironment& env, const std::vector<std::string>& args) {
  if (args.empty()) {
    env.context.err << "velvane-tool: import-cd needs a file of the CD's folder\n";
    return kToolUsage;
  }
  std::vector<CDFolder> folders;
  int nListed = 0;
  for (const std::string& strFile : args) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(strFile, error)) {
      env.context.err << "velvane-tool: " << strFile << " is not a file\n";
      return kToolUsage;
    }
    folders.push_back(ScanCDFolder(strFile, env.context.pTags));
    nListed += static_cast<int>(folders.back().tracks.size());
  }
  if (!LockAndLoad(env)) {
    return kToolUsage;
  }
  // All the CDs or none: a batch that would not fit changes nothing.
  if (std::string strRefusal = CDImportRefusal(env.store, nListed); !strRefusal.empty()) {
    std::replace(strRefusal.begin(), strRefusal.end(), '\n', ' ');  // one line on stderr
    env.context.err << "velvane-tool: " << strRefusal << '\n';
    return kToolUsage;
  }
  for (const CDFolder& folder : folders) {
    for (const CDTrack& track : folder.tracks) {
      env.context.out << track.ListLine() << '\n';
    }
    ImportCDTracks(env.store, folder);
  }
  return SaveBoth(env) ? kToolSuccess : kToolUsage;
}

int RunBuildRelationships(ToolEnvironment& env, const std::vector<std::string>& args) {
  return RunBuild(env, args, "build-relationships", &BuildAllRelationships, kRelationshipsRebuilt);
}

int RunBuildReferences(ToolEnvironment& env, const std::vector<std::string>& args) {
  return RunBuild(env, args, "build-references", &BuildPlaylistReferences, kReferencesRebuilt);
}

}  // namespace velvane
