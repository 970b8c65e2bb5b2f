#include "core/db/TrackDatabase.h"

#include <filesystem>
#include <sstream>
#include <string_view>
#include <utility>

#include "core/db/LineCodec.h"
#include "core/db/Logs.h"
#include "core/db/SafeSave.h"

namespace velvane {

namespace {

std::string ReadAll(std::ifstream& file) {
  std::ostringstream content;
  content << file.rdbuf();
  file.close();
  return std::move(content).str();
}

// Calls `store(line)` for each non-blank line of `content` until it returns false; returns
// whether a non-blank line was left unstored.
template <typename StoreLine>
bool ForEachRecordLine(std::string_view content, StoreLine store) {
  for (const std::string_view line : SplitLines(content)) {
    if (!IsBlankLine(line) && !store(line)) {
      return true;
    }
  }
  return false;
}

}  // namespace

TrackDatabase::TrackDatabase(TrackStore& store, Clock& clock, Prompter& prompter,
                             std::string strTitle)
    : m_store(store), m_clock(clock), m_prompter(prompter), m_strTitle(std::move(strTitle)) {}

bool TrackDatabase::OpenFile(const std::string& strPath, std::ifstream& file, bool& bLoaded) {
  if (file.is_open()) {
    file.close();
  }
  std::error_code error;
  if (!std::filesystem::is_directory(strPath, error)) {  // a folder opens but cannot be read
    file.open(strPath, std::ios::binary);
  }
  if (file.is_open()) {
    bLoaded = true;
    return true;
  }
  // Not readable: make an empty file so the next save has something to rotate.
  std::ofstream created(strPath, std::ios::binary | std::ios::trunc);
  return created.is_open();
}

bool TrackDatabase::OpenPlaylistFile(const std::string& strFilesDir) {
  return OpenFile(strFilesDir + "playlist.dat", m_playlistFile, m_bPlaylistLoaded);
}

bool TrackDatabase::OpenChartFile(const std::string& strFilesDir) {
  return OpenFile(strFilesDir + "charts.dat", m_chartFile, m_bChartLoaded);
}

void TrackDatabase::ReportFull(const std::string& strFilesDir, const std::string& strText) {
  WriteErrorLog(strFilesDir, m_clock, strText);
  m_prompter.Show(strText, m_strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
}

bool TrackDatabase::LoadRecords(std::ifstream& file, int nCapacity, const StoreRecord& store,
                                const std::string& strFilesDir, const std::string& strFullText) {
  const std::string content = ReadAll(file);
  int nStored = 0;
  const bool bOverflow = ForEachRecordLine(content, [&](std::string_view line) {
    if (nStored >= nCapacity) {
      return false;
    }
    store(nStored++, line);
    return true;
  });
  if (bOverflow) {
    ReportFull(strFilesDir, strFullText);
  }
  return bOverflow;
}

void TrackDatabase::LoadPlaylist(const std::string& strFilesDir) {
  m_store.SetPlaylistCount(0);
  // With the charts not loaded yet, links are checked against the chart capacity so that
  // those stored in the file survive.
  const int nLinkLimit = m_store.ChartCount() == 0 ? m_store.ChartSize() : m_store.ChartCount();
  int nCount = 0;
  m_bPlaylistCut = LoadRecords(
      m_playlistFile, m_store.PlaySize(),
      [&](int nIndex, std::string_view line) {
        m_store.SetPlaylistEntry(nIndex, ParsePlaylistLine(line), nLinkLimit);
        nCount = nIndex + 1;
      },
      strFilesDir, "Insufficient memory allocated to store the playlist");
  m_store.SetPlaylistCount(nCount);
}

void TrackDatabase::LoadCharts(const std::string& strFilesDir) {
  m_store.SetChartCount(0);
  const int nLinkLimit =
      m_store.PlaylistCount() == 0 ? m_store.PlaySize() : m_store.PlaylistCount();
  int nCount = 0;
  m_bChartCut = LoadRecords(
      m_chartFile, m_store.ChartSize(),
      [&](int nIndex, std::string_view line) {
        m_store.SetChartEntry(nIndex, ParseChartLine(line), nLinkLimit);
        nCount = nIndex + 1;
      },
      strFilesDir, "Insufficient memory allocated to store the chartlist");
  m_store.SetChartCount(nCount);
}

void TrackDatabase::OpenAndLoad(const std::string& strFilesDir, int nPlaySize, int nChartSize) {
  if (!OpenPlaylistFile(strFilesDir)) {
    m_bPlaylistLoaded = false;
    m_prompter.Show("Could not open the playlist file", m_strTitle, PromptIcon::Exclamation,
                    PromptButtons::Ok);
  }
  if (!OpenChartFile(strFilesDir)) {
    m_bChartLoaded = false;
    m_prompter.Show("Could not open the charts file", m_strTitle, PromptIcon::Exclamation,
                    PromptButtons::Ok);
  }
  m_store.Allocate(nPlaySize, nChartSize);
  if (m_bPlaylistLoaded) {
    LoadPlaylist(strFilesDir);
  }
  if (m_bChartLoaded) {
    LoadCharts(strFilesDir);
  }
}

SaveOutcome TrackDatabase::SavePlaylist(const std::string& strFilesDir) {
  std::string content;
  for (int i = 0; i < m_store.PlaylistCount(); ++i) {
    content += FormatPlaylistLine(m_store.Playlist(i));
  }
  return SaveDatabaseFile({strFilesDir, m_clock, m_prompter, m_strTitle}, "playlist", content,
                          "Failed to create a new playlist file");
}

SaveOutcome TrackDatabase::SaveCharts(const std::string& strFilesDir) {
  std::string content;
  for (int i = 0; i < m_store.ChartCount(); ++i) {
    content += FormatChartLine(m_store.Chart(i));
  }
  return SaveDatabaseFile({strFilesDir, m_clock, m_prompter, m_strTitle}, "charts", content,
                          "Failed to create a new chart file");
}

}  // namespace velvane
