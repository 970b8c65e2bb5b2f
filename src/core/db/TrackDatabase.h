#pragma once

#include <fstream>
#include <functional>
#include <string>
#include <string_view>

#include "core/db/SafeSave.h"
#include "core/db/TrackStore.h"
#include "core/ports/Clock.h"
#include "core/ports/Prompter.h"

namespace velvane {

// playlist.dat and charts.dat in the database folder: opened and loaded once at start-up (the
// playlist always first, so the chart links it holds survive), saved as a whole through the
// .tmp / .old rotation.
class TrackDatabase {
 public:
  TrackDatabase(TrackStore& store, Clock& clock, Prompter& prompter, std::string strTitle);

  // Open the file for reading; when that fails, create it empty (nothing is loaded then).
  // Returns false when it can be neither opened nor created.
  bool OpenPlaylistFile(const std::string& strFilesDir);
  bool OpenChartFile(const std::string& strFilesDir);
  bool PlaylistLoaded() const { return m_bPlaylistLoaded; }
  bool ChartLoaded() const { return m_bChartLoaded; }
  // False after a load that had to leave lines out for lack of capacity.
  bool LoadedCompletely() const { return !m_bPlaylistCut && !m_bChartCut; }

  // Fill the array from the opened file and set its count; a file longer than the capacity
  // keeps the first records and reports it in the error log and a message.
  void LoadPlaylist(const std::string& strFilesDir);
  void LoadCharts(const std::string& strFilesDir);

  // The start-up sequence: open playlist.dat then charts.dat (telling the operator about a file
  // that can be neither opened nor created), allocate both arrays, load the playlist, then the
  // charts.
  void OpenAndLoad(const std::string& strFilesDir, int nPlaySize, int nChartSize);

  // Write records 0 to count - 1. The outcome says which file stopped a failed save and why.
  SaveOutcome SavePlaylist(const std::string& strFilesDir);
  SaveOutcome SaveCharts(const std::string& strFilesDir);

 private:
  using StoreRecord = std::function<void(int nIndex, std::string_view line)>;

  bool OpenFile(const std::string& strPath, std::ifstream& file, bool& bLoaded);
  // Reads the whole file and stores its records from index 0 while there is room; a file
  // with more records is reported. Returns whether records were left out.
  bool LoadRecords(std::ifstream& file, int nCapacity, const StoreRecord& store,
                   const std::string& strFilesDir, const std::string& strFullText);
  void ReportFull(const std::string& strFilesDir, const std::string& strText);

  TrackStore& m_store;
  Clock& m_clock;
  Prompter& m_prompter;
  std::string m_strTitle;
  std::ifstream m_playlistFile;
  std::ifstream m_chartFile;
  bool m_bPlaylistLoaded = false;
  bool m_bChartLoaded = false;
  bool m_bPlaylistCut = false;
  bool m_bChartCut = false;
};

}  // namespace velvane
