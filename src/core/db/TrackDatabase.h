#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include "core/db/NativeFile.h"
#include "core/db/SafeSave.h"
#include "core/db/TrackStore.h"
#include "core/ports/Clock.h"
#include "core/ports/Prompter.h"

namespace velvane {

// Why saves are refused while another Velvane program holds the database folder.
inline constexpr const char* kFolderInUseText =
    "the database folder is in use by another Velvane program";

// playlist.dat and charts.dat in the database folder: opened and loaded once at start-up (the
// playlist always first, so the chart links it holds survive), saved as a whole through the
// .tmp / .old rotation.
//
// A file is only ever replaced by what was read from it: a save is refused unless this
// program holds the folder lock and the file was read completely or was missing (made empty).
class TrackDatabase {
 public:
  TrackDatabase(TrackStore& store, Clock& clock, Prompter& prompter, std::string strTitle);

  // Takes the folder lock (velvane.lock) that every save needs; kept until this object ends.
  LockResult LockFolder(const std::string& strFilesDir, std::error_code& error);
  // Why no database file of the folder may be written now, or empty. Without the lock it is
  // tried again first: the program that held it at start-up may have ended since.
  std::string LockRefusal(const std::string& strFilesDir);

  bool PlaylistLoaded() const { return m_playlist.bLoaded; }
  bool ChartLoaded() const { return m_chart.bLoaded; }
  // False after a load that had to leave lines out for lack of capacity.
  bool LoadedCompletely() const { return !m_playlist.bCut && !m_chart.bCut; }
  // "<path>: <reason>" for the first file that exists but could not be read; empty if none.
  std::string OpenProblem() const;

  // The start-up sequence: allocates both arrays, reads playlist.dat and charts.dat whole and
  // fills the arrays from them. Then tells the operator about a file that can be neither
  // opened nor created, and about a file longer than its capacity (the first records are kept;
  // the error log says so too).
  void OpenAndLoad(const std::string& strFilesDir, int nPlaySize, int nChartSize);

  // Write records 0 to count - 1. A refused save is logged and shown, and changes no file.
  SaveOutcome SavePlaylist(const std::string& strFilesDir);
  SaveOutcome SaveCharts(const std::string& strFilesDir);
  // playlist.dat, then charts.dat only when that worked, so the two files on disk always
  // belong together. The outcome of the save that failed, else kSaved.
  SaveOutcome SaveBoth(const std::string& strFilesDir);

 private:
  // One database file between opening and saving.
  struct FileState {
    TextBuffer content;     // as read at opening, until the load takes it
    bool bLoaded = false;   // opened for reading: the load fills the array
    bool bMaySave = false;  // read completely, or missing: a save loses nothing
    bool bCut = false;      // the load left lines out for lack of capacity
    std::string strPath;
    std::string strUnreadable;  // why, when it exists but could not be read
  };

  bool OpenFile(const std::string& strPath, FileState& file);
  // Reads the file whole. A missing file is created empty (nothing is loaded then). Returns
  // false when the file exists but cannot be read (it is left as it is, and saves of it are
  // refused), or is missing and cannot be created.
  bool OpenPlaylistFile(const std::string& strFilesDir);
  bool OpenChartFile(const std::string& strFilesDir);
  SaveOutcome Save(const std::string& strFilesDir, const FileState& file,
                   const std::string& strBaseName, const ContentSource& content,
                   const std::string& strCreateFailedText);
  // kSaved when this file may be saved to this folder; else kRefused, and why: the save
  // could lose what the file holds, or collide with another program's.
  SaveOutcome MaySave(const std::string& strFilesDir, const FileState& file,
                      const std::string& strBaseName);
  void Report(const std::string& strFilesDir, const std::string& strText);

  TrackStore& m_store;
  Clock& m_clock;
  Prompter& m_prompter;
  std::string m_strTitle;
  FileState m_playlist;
  FileState m_chart;
  FolderLock m_lock;
  LockResult m_lockResult = LockResult::kFailed;
  std::error_code m_lockError;
};

}  // namespace velvane
