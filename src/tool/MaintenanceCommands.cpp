#include <filesystem>

#include "core/db/NativeFile.h"
#include "core/maintenance/CDImport.h"
#include "core/maintenance/MusicCheck.h"
#include "core/maintenance/Relationships.h"
#include "core/text/Text.h"
#include "tool/ToolEnvironment.h"

namespace velvane {

namespace {

int RunBuild(ToolEnvironment& env, const std::vector<std::string>& args, const char* pszCommand,
             void (*build)(TrackStore&, const BuildProgress&), const char* pszDone) {
  if (!env.NoArguments(pszCommand, args) || !env.LockAndLoad()) {
    return kToolUsage;
  }
  build(env.store, {});
  if (!env.SaveDatabases()) {
    return kToolUsage;
  }
  env.context.out << pszDone << '\n';
  return kToolSuccess;
}

}  // namespace

int RunCheckMusic(ToolEnvironment& env, const std::vector<std::string>& args) {
  if (!env.NoArguments("check-music", args) || !env.LoadDatabases()) {
    return kToolUsage;
  }
  const MusicCheckResult result = CheckMusicFiles(env.store, env.settings.strMusicDir,
                                                  env.settings.strFilesDir, env.context.clock);
  if (!result.strUnusable.empty()) {
    env.context.err << "velvane-tool: " << result.strUnusable << '\n';
    return kToolUsage;
  }
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
    if (!std::filesystem::is_regular_file(PathFromUtf8(strFile), error)) {
      env.context.err << "velvane-tool: " << strFile << " is not a file\n";
      return kToolUsage;
    }
    if (const std::string strRefusal = CDFolderRefusal(strFile); !strRefusal.empty()) {
      env.context.err << "velvane-tool: " << ControlsAsSpaces(strRefusal) << '\n';
      return kToolUsage;
    }
    folders.push_back(ScanCDFolder(strFile, env.context.pTags));
    nListed += static_cast<int>(folders.back().tracks.size());
  }
  if (!env.LockAndLoad()) {
    return kToolUsage;
  }
  // All the CDs or none: a batch that would not fit changes nothing.
  if (const std::string strRefusal = CDImportRefusal(env.store, nListed); !strRefusal.empty()) {
    env.context.err << "velvane-tool: " << ControlsAsSpaces(strRefusal) << '\n';
    return kToolUsage;
  }
  for (const CDFolder& folder : folders) {
    for (const CDTrack& track : folder.tracks) {
      env.context.out << track.ListLine() << '\n';
    }
    ImportCDTracks(env.store, folder);
  }
  return env.SaveDatabases() ? kToolSuccess : kToolUsage;
}

int RunBuildRelationships(ToolEnvironment& env, const std::vector<std::string>& args) {
  return RunBuild(env, args, "build-relationships", &BuildAllRelationships, kRelationshipsRebuilt);
}

int RunBuildReferences(ToolEnvironment& env, const std::vector<std::string>& args) {
  return RunBuild(env, args, "build-references", &BuildPlaylistReferences, kReferencesRebuilt);
}

}  // namespace velvane
