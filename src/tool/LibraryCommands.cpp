#include <chrono>

#include "core/libraryimport/LibraryImport.h"
#include "core/text/Text.h"
#include "tool/ProgressLine.h"
#include "tool/ToolEnvironment.h"

namespace velvane {

namespace {

constexpr double kProgressSeconds = 0.1;  // a terminal need not be rewritten for every file

// The progress line of a step: at most ten times a second, and at its end.
ImportProgressReport ShowProgress(ProgressLine& line) {
  if (!line.Shown()) {
    return {};
  }
  return [&line, dLast = -1.0](const ImportProgress& progress) mutable {
    const double dNow = line.Elapsed();
    if (dNow - dLast < kProgressSeconds && progress.nDone != progress.nTotal) {
      return;
    }
    dLast = dNow;
    line.Show(progress.Text());
  };
}

int Refuse(ToolEnvironment& env, const std::string& strWhy) {
  env.context.err << "velvane-tool: " << ControlsAsSpaces(strWhy) << '\n';
  return kToolUsage;
}

void PrintSkips(std::ostream& out, const std::vector<ImportSkip>& skips) {
  for (const ImportSkip& skip : skips) {
    out << skip.ListLine() << '\n';
  }
}

}  // namespace

int RunImportLibrary(ToolEnvironment& env, const std::vector<std::string>& argv) {
  const CommandArgs args(argv, {}, {"--copy", "--no-links", "--dry-run"});
  if (!args.Ok() || args.Positional().empty()) {
    return Refuse(env,
                  "import-library needs one or more folders and takes only --copy, --no-links "
                  "and --dry-run");
  }
  const bool bDryRun = args.Has("--dry-run");
  if (!env.CheckDatabaseFolder()) {
    return kToolUsage;
  }
  const std::string strFolders =
      LibraryImportFolderRefusal(args.Positional(), env.settings.strMusicDir);
  if (!strFolders.empty()) {
    return Refuse(env, strFolders);
  }
  // A dry run only reads, so it may run beside the desktop program, which holds the lock.
  if (!(bDryRun ? env.LoadDatabases() : env.LockAndLoad())) {
    return kToolUsage;
  }
  const std::string& strFilesDir = env.settings.strFilesDir;
  const std::string& strMusicDir = env.settings.strMusicDir;
  ImportedFiles imported;
  if (std::string strError; !LoadImportedFiles(strFilesDir, imported, strError)) {
    return Refuse(env, "cannot read " + strError);
  }
  const std::atomic<bool>* pStop =
      env.context.catchInterrupt ? env.context.catchInterrupt() : nullptr;
  ProgressLine line(env.context);
  const LibraryImportPlan plan =
      PlanLibraryImport(args.Positional(), env.store, imported, strMusicDir, env.context.pTags,
                        ShowProgress(line), pStop);
  line.Finish();
  if (plan.bStopped) {
    return Refuse(env, "stopped; nothing was imported");
  }
  if (!plan.strRefusal.empty()) {
    return Refuse(env, plan.strRefusal);
  }
  std::ostream& out = env.context.out;
  if (bDryRun) {
    for (const ImportTrack& track : plan.tracks) {
      out << track.ListLine() << '\n';
    }
    PrintSkips(out, plan.skipped);
    out << SummariseLibraryImport(plan, nullptr).Text() << '\n';
    return plan.skipped.empty() ? kToolSuccess : kToolNotFound;
  }
  LibraryImportPlacement placement = PlaceLibraryImport(
      plan, strMusicDir, args.Has("--copy") ? PlaceMethod::kCopy : PlaceMethod::kLink,
      ShowProgress(line), pStop);
  line.Finish();
  if (placement.bCancelled) {
    return Refuse(env, "stopped; nothing was imported");
  }
  if (!placement.strRefusal.empty()) {
    return Refuse(env, placement.strRefusal);
  }
  const LibraryImportSaved saved = CommitLibraryImport(
      env.database, env.store, strFilesDir, plan, placement, imported, !args.Has("--no-links"));
  if (!saved.databases) {
    return Refuse(env, saved.Problem());
  }
  for (const std::size_t i : placement.placed) {
    out << plan.tracks[i].ListLine() << '\n';
  }
  PrintSkips(out, plan.skipped);
  PrintSkips(out, placement.failed);
  out << SummariseLibraryImport(plan, &placement).Text() << '\n';
  if (!saved.imported) {
    env.context.err << "velvane-tool: " << ControlsAsSpaces(saved.Problem()) << '\n';
  }
  const bool bAll = plan.skipped.empty() && placement.failed.empty() && saved.imported;
  return bAll ? kToolSuccess : kToolNotFound;
}

}  // namespace velvane
