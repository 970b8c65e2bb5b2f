#include "tool/Tool.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>

#include "core/db/NativeFile.h"
#include "core/settings/ProgramInfo.h"
#include "tool/Printable.h"
#include "tool/ToolCommands.h"
#include "tool/ToolEnvironment.h"

namespace velvane {

PromptAnswer ConsolePrompter::Show(const std::string& text, const std::string& /*caption*/,
                                   PromptIcon /*icon*/, PromptButtons buttons) {
  m_err << text << '\n';
  return buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel ? PromptAnswer::Ok
                                                                            : PromptAnswer::Yes;
}

ToolEnvironment::ToolEnvironment(ToolContext& context_, Settings settings_)
    : context(context_),
      settings(std::move(settings_)),
      prompter(context_.err),
      database(store, context_.clock, prompter, kProgramTitle) {}

bool ToolEnvironment::CheckDatabaseFolder() {
  const std::string& folder = settings.strFilesDir;
  if (folder.empty()) {
    context.err << "velvane-tool: no database folder; give --db DIR or set one in the "
                   "administration dialog\n";
    return false;
  }
  std::error_code error;
  if (!std::filesystem::is_directory(PathFromUtf8(folder), error)) {
    context.err << "velvane-tool: the database folder " << folder << " does not exist\n";
    return false;
  }
  return true;
}

bool ToolEnvironment::LoadDatabases() {
  if (!CheckDatabaseFolder()) {
    return false;
  }
  database.OpenAndLoad(settings.strFilesDir, settings.nPlaySize, settings.nChartSize);
  // An answer from a library that could not be read would be wrong without a word.
  if (const std::string strProblem = database.OpenProblem(); !strProblem.empty()) {
    context.err << "velvane-tool: cannot read " << strProblem << '\n';
    return false;
  }
  return true;
}

bool ToolEnvironment::LockDatabaseFolder() {
  if (!CheckDatabaseFolder()) {
    return false;
  }
  const std::string& folder = settings.strFilesDir;
  std::error_code error;
  switch (database.LockFolder(folder, error)) {
    case LockResult::kLocked:
      return true;
    case LockResult::kInUse:
      context.err << "velvane-tool: " << folder << ": " << kFolderInUseText << '\n';
      return false;
    case LockResult::kFailed:
      break;
  }
  context.err << "velvane-tool: cannot lock the database folder: " << folder << kLockFileName
              << ": " << error.message() << '\n';
  return false;
}

bool ToolEnvironment::LockAndLoad() {
  if (!LockDatabaseFolder() || !LoadDatabases()) {
    return false;
  }
  if (!database.LoadedCompletely()) {
    // Saving now would drop the records that did not fit.
    context.err << "velvane-tool: not saved; raise the database sizes first\n";
    return false;
  }
  return true;
}

bool ToolEnvironment::SaveDatabases() {
  const SaveOutcome outcome = database.SaveBoth(settings.strFilesDir);
  if (!outcome) {
    context.err << "velvane-tool: not saved: " << outcome.Describe() << '\n';
  }
  return static_cast<bool>(outcome);
}

bool ToolEnvironment::NoArguments(const char* pszCommand, const std::vector<std::string>& args) {
  if (args.empty()) {
    return true;
  }
  context.err << "velvane-tool: " << pszCommand << " takes no arguments\n";
  return false;
}

namespace {

int RunCommand(const std::vector<std::string>& args, ToolContext& context) {
  std::string error;
  const std::optional<ToolOptions> options = ParseToolOptions(args, error);
  if (!options) {
    return UsageError(context.err, error);
  }
  if (options->bHelp) {
    PrintHelp(context.out);
    return kToolSuccess;
  }
  if (options->bVersion) {
    context.out << "velvane-tool " << kVersionText << '\n';
    return kToolSuccess;
  }
  const CommandInfo* pCommand = FindCommand(options->strCommand);
  if (pCommand == nullptr) {
    return UsageError(context.err, "unknown command " + options->strCommand);
  }
  if (AsksForHelp(options->args)) {
    PrintCommandHelp(context.out, *pCommand);
    return kToolSuccess;
  }
  if (pCommand->bUsesMedia && context.loadMedia && !context.loadMedia(context)) {
    return kToolUsage;
  }
  // The desktop program's settings, or the start values of a first run.
  Settings settings;
  LoadSettings(context.profile, settings);
  std::istringstream sizeNotes(LimitDatabaseSizes(settings));
  for (std::string strLine; std::getline(sizeNotes, strLine);) {
    context.err << "velvane-tool: " << strLine << '\n';
  }
  if (options->db) {
    settings.strFilesDir = *options->db;
  }
  if (options->music) {
    settings.strMusicDir = *options->music;
  }
  ToolEnvironment env(context, std::move(settings));
  return pCommand->run(env, options->args);
}

}  // namespace

int RunTool(const std::vector<std::string>& args, ToolContext& context) {
  PrintableStreamBuf outBuffer(context.out.rdbuf());
  PrintableStreamBuf errBuffer(context.err.rdbuf());
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  ToolContext printable = context.WithStreams(out, err);
  return RunCommand(args, printable);
}

}  // namespace velvane
