#include "core/maintenance/Relationships.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "core/search/TextMatch.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// Chart positions at or above this never become a record's best entry.
constexpr int kNoPosition = 1000;

// Artist and title keys joined so that no two different pairs give the same text: the
// artist key's length comes first. Written into one reused buffer.
void SongKey(const std::string& strArtist, const std::string& strTitle, std::string& strKey) {
  strKey.assign(sizeof(std::uint32_t), '\0');
  AppendSameTextKey(strArtist, strKey);
  const auto nLength = static_cast<std::uint32_t>(strKey.size() - sizeof(std::uint32_t));
  std::memcpy(strKey.data(), &nLength, sizeof nLength);
  AppendSameTextKey(strTitle, strKey);
}

// One song of the chart.
struct Song {
  int nBestEntry = -1;  // first entry with the lowest position below 1000
  int nBestPosition = kNoPosition;
  int nLastRecord = -1;  // last library record of the song, or whose link names one of its entries
};

// The chart grouped by song in one pass, with each song's best entry.
class ChartSongs {
 public:
  explicit ChartSongs(const TrackStore& store) {
    const int nCount = store.ChartCount();
    m_songOfEntry.resize(static_cast<std::size_t>(nCount));
    m_index.reserve(static_cast<std::size_t>(nCount));
    for (int c = 0; c < nCount; ++c) {
      const ChartEntry& entry = store.Chart(c);
      SongKey(entry.strArtist, entry.strTitle, m_strKey);
      const auto [it, bNew] = m_index.try_emplace(m_strKey, m_songs.size());
      if (bNew) {
        m_songs.emplace_back();
      }
      m_songOfEntry[static_cast<std::size_t>(c)] = it->second;
    }
  }

  Song* Find(const std::string& strArtist, const std::string& strTitle) {
    SongKey(strArtist, strTitle, m_strKey);
    const auto it = m_index.find(m_strKey);
    return it == m_index.end() ? nullptr : &m_songs[it->second];
  }
  Song& OfEntry(int nEntry) { return m_songs[m_songOfEntry[static_cast<std::size_t>(nEntry)]]; }

  // Each song's entry with the lowest position below 1000, the first of equal ones.
  void FindBestEntries(const TrackStore& store) {
    for (int c = 0; c < store.ChartCount(); ++c) {
      Song& song = OfEntry(c);
      const int nPosition = Atoi(store.Chart(c).strPosition);
      if (nPosition < song.nBestPosition) {
        song.nBestEntry = c;
        song.nBestPosition = nPosition;
      }
    }
  }

  // Every entry of a song that has a record takes the last one.
  void LinkEntriesToLastRecord(TrackStore& store) {
    for (int c = 0; c < store.ChartCount(); ++c) {
      if (const int nRecord = OfEntry(c).nLastRecord; nRecord != -1) {
        store.SetChartReference(nRecord, c);
      }
    }
  }

 private:
  std::unordered_map<std::string, std::size_t> m_index;
  std::vector<Song> m_songs;
  std::vector<std::size_t> m_songOfEntry;
  std::string m_strKey;
};

// Says the caption only when the whole percentage changes, as the long original loop did.
class ProgressSteps {
 public:
  ProgressSteps(const BuildProgress& progress, int nTotal)
      : m_progress(progress), m_nTotal(nTotal) {}
  void Before(int nRecord) {
    if (!m_progress) {
      return;
    }
    const int nPercent =
        static_cast<int>(static_cast<double>(nRecord) / static_cast<double>(m_nTotal) * 100.0);
    if (nPercent != m_nLast) {
      m_nLast = nPercent;
      m_progress("Building (" + std::to_string(nPercent) + " percent)");
    }
  }

 private:
  const BuildProgress& m_progress;
  int m_nTotal;
  int m_nLast = -1;
};

}  // namespace

void BuildAllRelationships(TrackStore& store, const BuildProgress& progress) {
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    store.SetPlaylistReference(-1, p);
  }
  for (int c = 0; c < store.ChartCount(); ++c) {
    store.SetChartReference(-1, c);
  }
  ChartSongs songs(store);
  songs.FindBestEntries(store);
  ProgressSteps steps(progress, store.PlaylistCount());
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    steps.Before(p);
    const PlaylistEntry& record = store.Playlist(p);
    if (Song* song = songs.Find(record.strArtist, record.strTitle)) {
      store.SetPlaylistReference(song->nBestEntry, p);
      song->nLastRecord = p;
    }
  }
  songs.LinkEntriesToLastRecord(store);
}

void BuildPlaylistReferences(TrackStore& store, const BuildProgress& progress) {
  ChartSongs songs(store);
  ProgressSteps steps(progress, store.PlaylistCount());
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    steps.Before(p);
    const int nLink = store.Playlist(p).nChartLink;
    if (nLink >= 0 && nLink < store.ChartCount()) {
      songs.OfEntry(nLink).nLastRecord = p;
    }
  }
  songs.LinkEntriesToLastRecord(store);
}

}  // namespace velvane
