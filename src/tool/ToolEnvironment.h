#pragma once

#include <string>
#include <vector>

#include "core/db/TrackDatabase.h"
#include "core/db/TrackStore.h"
#include "core/ports/Prompter.h"
#include "core/settings/Settings.h"
#include "tool/Tool.h"
#include "tool/ToolOptions.h"

namespace velvane {

// Message boxes of the core become lines on stderr; questions take their first answer
// (OK / Yes), as a scripted run has no one to ask.
class ConsolePrompter : public Prompter {
 public:
  explicit ConsolePrompter(std::ostream& err) : m_err(err) {}
  PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon icon,
                    PromptButtons buttons) override;

 private:
  std::ostream& m_err;
};

// Everything a command works with: the settings (with the folders of the command line
// applied), the record arrays and the database files.
struct ToolEnvironment {
  ToolEnvironment(ToolContext& context, Settings settings);

  // Checks the database folder is set and exists; on failure prints why and returns false.
  bool CheckDatabaseFolder();
  // Checks the database folder and loads both databases as at start-up. On failure (a
  // database file that exists but cannot be read, too) prints the reason and returns false.
  bool LoadDatabases();
  // For the commands that write: checks the database folder and takes its lock, which the
  // desktop program holds while it runs. On failure prints why and returns false.
  bool LockDatabaseFolder();
  // For the commands that change the databases: the folder locked before loading, so no other
  // writer changes the files between the two, and every record loaded, so a save drops none.
  // On failure prints why and returns false.
  bool LockAndLoad();
  // Saves both databases (see TrackDatabase::SaveBoth); on failure prints why and returns false.
  bool SaveDatabases();
  // False, after saying so, when the command was given arguments.
  bool NoArguments(const char* pszCommand, const std::vector<std::string>& args);

  ToolContext& context;
  Settings settings;
  ConsolePrompter prompter;
  TrackStore store;
  TrackDatabase database;
};

using ToolCommand = int (*)(ToolEnvironment& env, const std::vector<std::string>& args);

// Commands, one file per command group. A message of several lines is printed on stderr as
// one line (ControlsAsSpaces).
int RunResave(ToolEnvironment& env, const std::vector<std::string>& args);
int RunSearch(ToolEnvironment& env, const std::vector<std::string>& args);
int RunAutoSelect(ToolEnvironment& env, const std::vector<std::string>& args);
int RunNumberOne(ToolEnvironment& env, const std::vector<std::string>& args);
int RunCheckMusic(ToolEnvironment& env, const std::vector<std::string>& args);
int RunImportCD(ToolEnvironment& env, const std::vector<std::string>& args);
int RunBuildRelationships(ToolEnvironment& env, const std::vector<std::string>& args);
int RunBuildReferences(ToolEnvironment& env, const std::vector<std::string>& args);
int RunUpdates(ToolEnvironment& env, const std::vector<std::string>& args);
int RunAnalyse(ToolEnvironment& env, const std::vector<std::string>& args);
int RunImportLibrary(ToolEnvironment& env, const std::vector<std::string>& args);
int RunNowPlayingTest(ToolEnvironment& env, const std::vector<std::string>& args);

}  // namespace velvane
