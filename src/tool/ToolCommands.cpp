#include "tool/ToolCommands.h"

#include <algorithm>

namespace velvane {

namespace {

const std::vector<CommandInfo>& Commands() {
  static const std::vector<CommandInfo> commands = {
      {"resave",
       &RunResave,
       "",
       "load playlist.dat and charts.dat as at start-up and save both",
       "Prints \"playlist: N records, charts: M entries\". Refuses to save (exit 2) when a\n"
       "database holds more lines than its size setting allows, so no record is dropped.",
       {}},
      {"search",
       &RunSearch,
       "[--artist T] [--title T]",
       "find chart entries and library tracks by artist and title",
       "Prints one line per result (artist, title, CD, track, chart info, tab-separated),\n"
       "then the status line.",
       {{"--artist T", "text the artist contains; \"#name\" finds only that exact artist"},
        {"--title T", "text the title contains"}}},
      {"auto-select",
       &RunAutoSelect,
       "[--start Y] [--end Y] [--out-of-chart] [--seed N]",
       "propose random chart hits of a range of years, or tracks that never charted",
       "Prints the proposals as list lines, then the status line.",
       {{"--start Y", "first year of the range (default: the saved range)"},
        {"--end Y", "last year of the range (default: the saved range)"},
        {"--out-of-chart", "propose library tracks that never charted instead"},
        {"--seed N", "seed the random numbers, so the proposals can be repeated"}}},
      {"number-one",
       &RunNumberOne,
       "DATE",
       "tell the number one on a date",
       "Prints the result text; exit 1 when no number one is found.",
       {{"DATE", "the date as dd/mm/yyyy, d-m-yy or d m yyyy"}}},
      {"check-music",
       &RunCheckMusic,
       "",
       "check that every library track has its music file",
       "Writes an error-log line per missing file and prints the status text; exit 1 unless\n"
       "all music tracks are accounted for.",
       {}},
      {"import-cd",
       &RunImportCD,
       "FILE...",
       "add the tracks of CD folders to the library and save playlist.dat and charts.dat",
       "Prints one list line per file (track, artist, title, tab-separated). With several\n"
       "CDs either all are imported or, when the library is too small, none (exit 2).",
       {{"FILE", "any file in a CD's folder (named by its three-digit CD number)"}},
       true},
      {"import-library",
       &RunImportLibrary,
       "[--copy] [--no-links] [--dry-run] FOLDER...",
       "import a collection of tagged music into the library, CD by CD, and save",
       "Walks each FOLDER and its subfolders for audio files (mp3, flac, ogg, oga, opus, m4a,\n"
       "mp4, aac, wav, aif, aiff, wma). The files of each folder are one album; each album\n"
       "takes the lowest free CD number, its tracks numbered by disc tag, track tag and file\n"
       "name, 99 to a CD. Artist and title come from the tags, else from a name read as\n"
       "\"TT - Artist - Title\", else \"Unknown Artist\" and the file name. Each file is placed\n"
       "as MUSIC/CCC/TT - Artist - Title.ext by a hard link, else a symbolic link, else a\n"
       "copy; the source files are never changed. Then the records are added, the library\n"
       "and the charts linked, and playlist.dat, charts.dat and imported.dat saved.\n"
       "imported.dat remembers the files taken, so a second run imports only new ones.\n"
       "Prints one line per track (CD, track, artist, title, source path, tab-separated),\n"
       "one per file not imported with the reason, then the summary; on a terminal a\n"
       "progress line. Exit 1 when some files could not be imported; exit 2, with nothing\n"
       "changed, for a folder that cannot be read or an import the library cannot take\n"
       "(the playlist size, the free CD numbers or the disk space).",
       {{"--copy", "copy the files instead of linking them"},
        {"--no-links", "do not link the library and the charts afterwards"},
        {"--dry-run", "print what would be imported; place and save nothing"},
        {"FOLDER", "a folder of music to import, with its subfolders"}},
       true},
      {"build-relationships",
       &RunBuildRelationships,
       "",
       "link every library record and chart entry of the same song anew, and save",
       "Prints the completion text.",
       {}},
      {"build-references",
       &RunBuildReferences,
       "",
       "give every chart entry of a linked song its library record, and save",
       "Prints the completion text.",
       {}},
      {"updates",
       &RunUpdates,
       "--server HOST[:PORT] [--apply NAME]",
       "list the chart updates on the server, or apply one",
       "Prints the listing's lines; with --apply, the message of the applied update. Exit 2 "
       "when the server cannot be reached or the update is refused, with nothing changed.",
       {{"--server HOST[:PORT]", "the update server (default: the UpdateServer setting)"},
        {"--apply NAME", "download update NAME of the listing and apply it"}},
       true},
      {"analyse",
       &RunAnalyse,
       "[--jobs N] [--force]",
       "measure loudness, true peak and audible start and end of the library's music files",
       "Measures every library track whose music file has no result in analysis.dat or has\n"
       "changed since, then saves the results. On a terminal a progress line shows the files\n"
       "done, the time taken and the rate. Prints one line per file that could not be\n"
       "analysed (also written to the error log), then a summary; exit 1 when some could not.\n"
       "Ctrl+C stops it after the files in progress and saves what was measured.",
       {{"--jobs N", "files analysed at once (default: the number of processor cores; at most 64)"},
        {"--force", "measure every music file again, fresh results too"}},
       true},
      {"now-playing-test",
       &RunNowPlayingTest,
       "",
       "send a test title to every now-playing output that is set",
       "Tells the text file, the stream server and the web hook that are set (in the\n"
       "administration dialog's Now Playing group) that \"Velvane - Now playing test\" is on\n"
       "air, and prints one line per output: \"works\", or \"failed:\" and why. Exit 1 when\n"
       "one failed; exit 2 when none is set.",
       {},
       true},
  };
  return commands;
}

const char* const kUsage = "usage: velvane-tool [--db DIR] [--music DIR] COMMAND [ARGS]\n";

// Names in a column wide enough for the longest, then their meanings.
void PrintList(std::ostream& out, const std::vector<HelpLine>& lines) {
  std::size_t nWidth = 0;
  for (const HelpLine& line : lines) {
    nWidth = std::max(nWidth, std::string(line.pszName).size());
  }
  for (const HelpLine& line : lines) {
    const std::string strName = line.pszName;
    out << "  " << strName << std::string(nWidth + 3 - strName.size(), ' ') << line.pszMeaning
        << '\n';
  }
}

}  // namespace

const CommandInfo* FindCommand(const std::string& strName) {
  for (const CommandInfo& command : Commands()) {
    if (strName == command.pszName) {
      return &command;
    }
  }
  return nullptr;
}

void PrintHelp(std::ostream& out) {
  out << kUsage << "       velvane-tool COMMAND --help\n"
      << "Scripted maintenance of the ROLV Disco / Radio System's databases.\n\noptions:\n";
  PrintList(out, {{"--db DIR", "the database folder (default: the desktop program's setting)"},
                  {"--music DIR", "the music folder (default: the desktop program's setting)"},
                  {"-h, --help", "show this help and exit"},
                  {"--version", "show the version and exit"}});
  out << "\ncommands:\n";
  std::vector<HelpLine> commands;
  for (const CommandInfo& command : Commands()) {
    commands.push_back({command.pszName, command.pszSummary});
  }
  PrintList(out, commands);
  out << "\nExit status: 0 success, 1 not found, 2 bad usage or an unusable folder or file.\n";
}

void PrintCommandHelp(std::ostream& out, const CommandInfo& command) {
  out << "usage: velvane-tool [--db DIR] [--music DIR] " << command.pszName;
  if (*command.pszArgs != '\0') {
    out << ' ' << command.pszArgs;
  }
  out << "\n\n"
      << command.pszName << ": " << command.pszSummary << ".\n"
      << command.pszDetails << '\n';
  if (!command.arguments.empty()) {
    out << "\narguments:\n";
    PrintList(out, command.arguments);
  }
}

int UsageError(std::ostream& err, const std::string& strError) {
  err << "velvane-tool: " << strError << '\n'
      << kUsage << "Run \"velvane-tool --help\" for the commands.\n";
  return kToolUsage;
}

bool AsksForHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
}

}  // namespace velvane
