#include "core/db/TrackDatabase.h"

#include <future>
#include <string_view>
#include <utility>

#include "core/db/DatabaseRead.h"
#include "core/db/LineCodec.h"
#include "core/db/Logs.h"

namespace velvane {

TrackDatabase::TrackDatabase(TrackStore& store, Clock& clock, Prompter& prompter,
                             std::string strTitle)
    : m_store(store), m_clock(clock), m_prompter(prompter), m_strTitle(std::move(strTitle)) {}

LockResult TrackDatabase::LockFolder(const std::string& strFilesDir, std::error_code& error) {
  m_lockResult = m_lock.TryLock(strFilesDir, error);
  m_lockError = error;
  return m_lockResult;
}

bool TrackDatabase::OpenFile(const std::string& strPath, FileState& file) {
  file = FileState{};
  file.strPath = strPath;
  FileRead read = ReadDatabaseFile(strPath);
  switch (read.state) {
    case FileRead::State::kRead:
      file.content = std::move(read.content);
      file.bLoaded = true;
      file.bMaySave = true;
      return true;
    case FileRead::State::kUnreadable:
      // It may hold the only copy of the library: never emptied, never saved over.
      file.strUnreadable = read.strReason;
      return false;
    case FileRead::State::kMissing:
      break;
  }
  // Only a missing file is made, empty, so the next save has something to rotate. Opened for
  // appending, it never truncates a file that another program made meanwhile.
  file.bMaySave = true;
  return velvane::OpenFile(strPath, "ab") != nullptr;
}

bool TrackDatabase::OpenPlaylistFile(const std::string& strFilesDir) {
  return OpenFile(strFilesDir + "playlist.dat", m_playlist);
}

bool TrackDatabase::OpenChartFile(const std::string& strFilesDir) {
  return OpenFile(strFilesDir + "charts.dat", m_chart);
}

std::string TrackDatabase::OpenProblem() const {
  for (const FileState* pFile : {&m_playlist, &m_chart}) {
    if (!pFile->strUnreadable.empty()) {
      return pFile->strPath + ": " + pFile->strUnreadable;
    }
  }
  return {};
}

void TrackDatabase::Report(const std::string& strFilesDir, const std::string& strText) {
  WriteErrorLog(strFilesDir, m_clock, strText);
  m_prompter.Show(strText, m_strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
}

void TrackDatabase::OpenAndLoad(const std::string& strFilesDir, int nPlaySize, int nChartSize) {
  m_store.Allocate(nPlaySize, nChartSize);
  // The two files are read and parsed side by side, each on a core of its own. Playlist links
  // are checked against the chart capacity, so that those stored in the file survive; chart
  // links against the playlist's count, once it is known.
  const int nPlaylistLinkLimit = m_store.ChartSize();
  const int nChartLinkLimit = m_store.PlaySize();
  std::future<bool> chartOpened = std::async(std::launch::async, [&] {
    const bool bOpened = OpenChartFile(strFilesDir);
    if (m_chart.bLoaded) {
      m_chart.bCut = m_store.LoadChartText(std::move(m_chart.content), nChartLinkLimit);
    }
    return bOpened;
  });
  const bool bPlaylistOpened = OpenPlaylistFile(strFilesDir);
  if (m_playlist.bLoaded) {
    m_playlist.bCut = m_store.LoadPlaylistText(std::move(m_playlist.content), nPlaylistLinkLimit);
  }
  const bool bChartOpened = chartOpened.get();
  if (m_store.PlaylistCount() > 0) {
    m_store.LimitChartLinks(m_store.PlaylistCount());
  }

  if (!bPlaylistOpened) {
    m_prompter.Show("Could not open the playlist file", m_strTitle, PromptIcon::Exclamation,
                    PromptButtons::Ok);
  }
  if (!bChartOpened) {
    m_prompter.Show("Could not open the charts file", m_strTitle, PromptIcon::Exclamation,
                    PromptButtons::Ok);
  }
  if (m_playlist.bCut) {
    Report(strFilesDir, "Insufficient memory allocated to store the playlist");
  }
  if (m_chart.bCut) {
    Report(strFilesDir, "Insufficient memory allocated to store the chartlist");
  }
}

std::string TrackDatabase::LockRefusal(const std::string& strFilesDir) {
  std::error_code ignored;
  if (m_lock.Holds(strFilesDir) || LockFolder(strFilesDir, ignored) == LockResult::kLocked) {
    return {};
  }
  // A second writer at the same time could lose either save.
  if (m_lockResult == LockResult::kInUse) {
    return kFolderInUseText;
  }
  std::string strReason = "the database folder is not locked for writing";
  if (m_lockError) {
    strReason += " (" + m_lockError.message() + ")";
  }
  return strReason;
}

SaveOutcome TrackDatabase::MaySave(const std::string& strFilesDir, const FileState& file,
                                   const std::string& strBaseName) {
  SaveOutcome refusal{SaveResult::kRefused, strFilesDir, {}, {}};
  refusal.strReason = LockRefusal(strFilesDir);
  if (!refusal.strReason.empty()) {
    return refusal;
  }
  if (!file.bMaySave) {
    refusal.strPath = strFilesDir + strBaseName + ".dat";
    refusal.strReason = file.strUnreadable.empty() ? "it has not been read, so it is left as it is"
                                                   : "it could not be read (" + file.strUnreadable +
                                                         "), so it is left as it is";
    return refusal;
  }
  return SaveOutcome{};
}

SaveOutcome TrackDatabase::Save(const std::string& strFilesDir, const FileState& file,
                                const std::string& strBaseName, const ContentSource& content,
                                const std::string& strCreateFailedText) {
  SaveOutcome allowed = MaySave(strFilesDir, file, strBaseName);
  if (!allowed) {
    Report(strFilesDir, "Not saved: " + allowed.Describe());
    return allowed;
  }
  return SaveDatabaseFile({strFilesDir, m_clock, m_prompter, m_strTitle}, strBaseName, content,
                          strCreateFailedText);
}

SaveOutcome TrackDatabase::SavePlaylist(const std::string& strFilesDir) {
  const auto appendLine = [this](std::string& strText, std::size_t i) {
    AppendPlaylistLine(strText, m_store.Playlist(static_cast<int>(i)));
  };
  return Save(strFilesDir, m_playlist, "playlist",
              LinesInPieces(static_cast<std::size_t>(m_store.PlaylistCount()), appendLine),
              "Failed to create a new playlist file");
}

SaveOutcome TrackDatabase::SaveCharts(const std::string& strFilesDir) {
  const auto appendLine = [this](std::string& strText, std::size_t i) {
    AppendChartLine(strText, m_store.Chart(static_cast<int>(i)));
  };
  return Save(strFilesDir, m_chart, "charts",
              LinesInPieces(static_cast<std::size_t>(m_store.ChartCount()), appendLine),
              "Failed to create a new chart file");
}

SaveOutcome TrackDatabase::SaveBoth(const std::string& strFilesDir) {
  SaveOutcome outcome = SavePlaylist(strFilesDir);
  return outcome ? SaveCharts(strFilesDir) : outcome;
}

}  // namespace velvane
