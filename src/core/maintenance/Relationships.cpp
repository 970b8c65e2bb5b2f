#include "core/maintenance/Relationships.h"

#include <unordered_map>
#include <vector>

#include "core/search/TextMatch.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// Chart positions at or above this never become a record's best entry.
constexpr int kNoPosition = 1000;

// Artist and title keys joined so that no two different pairs give the same text.
std::string SongKey(const std::string& strArtist, const std::string& strTitle) {
  const std::string strArtistKey = SameTextKey(strArtist);
  return std::to_string(strArtistKey.size()) + ':' + strArtistKey + SameTextKey(strTitle);
}

// The chart entries of one song, in database order.
struct Song {
  std::vector<int> entries;
  int nBestEntry = -1;   // first entry with the lowest position below 1000
  int nLastRecord = -1;  // last library record of the song, or whose link names one of its entries
};

// The chart grouped by song, built in one pass.
class ChartSongs {
 public:
  explicit ChartSongs(const TrackStore& store) {
    const int nCount = store.ChartCount();
    m_songOfEntry.resize(static_cast<std::size_t>(nCount));
    m_index.reserve(static_cast<std::size_t>(nCount));
    for (int c = 0; c < nCount; ++c) {
      const ChartEntry& entry = store.Chart(c);
      const auto [it, bNew] =
          m_index.try_emplace(SongKey(entry.strArtist, entry.strTitle), m_songs.size());
      if (bNew) {
        m_songs.emplace_back();
      }
      m_songs[it->second].entries.push_back(c);
      m_songOfEntry[static_cast<std::size_t>(c)] = it->second;
    }
  }

  Song* Find(const std::string& strArtist, const std::string& strTitle) {
    const auto it = m_index.find(SongKey(strArtist, strTitle));
    return it == m_index.end() ? nullptr : &m_songs[it->second];
  }
  Song& OfEntry(int nEntry) { return m_songs[m_songOfEntry[static_cast<std::size_t>(nEntry)]]; }
  std::vector<Song>& Songs() { return m_songs; }

 private:
  std::unordered_map<std::string, std::size_t> m_index;
  std::vector<Song> m_songs;
  std::vector<std::size_t> m_songOfEntry;
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

int BestEntry(const TrackStore& store, const std::vector<int>& entries) {
  int nBest = -1;
  int nBestPosition = kNoPosition;
  for (const int c : entries) {
    const int nPosition = Atoi(store.Chart(c).strPosition);
    if (nPosition < nBestPosition) {
      nBest = c;
      nBestPosition = nPosition;
    }
  }
  return nBest;
}

void LinkEntriesToLastRecord(TrackStore& store, std::vector<Song>& songs) {
  for (const Song& song : songs) {
    if (song.nLastRecord == -1) {
      continue;
    }
    for (const int c : song.entries) {
      store.SetChartReference(song.nLastRecord, c);
    }
  }
}

}  // namespace

void BuildAllRelationships(TrackStore& store, const BuildProgress& progress) {
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    store.SetPlaylistReference(-1, p);
  }
  for (int c = 0; c < store.ChartCount(); ++c) {
    store.SetChartReference(-1, c);
  }
  ChartSongs songs(store);
  for (Song& song : songs.Songs()) {
    song.nBestEntry = BestEntry(store, song.entries);
  }
  ProgressSteps steps(progress, store.PlaylistCount());
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    steps.Before(p);
    const PlaylistEntry& record = store.Playlist(p);
    if (Song* song = songs.Find(record.strArtist, record.strTitle)) {
      store.SetPlaylistReference(song->nBestEntry, p);
      song->nLastRecord = p;
    }
  }
  LinkEntriesToLastRecord(store, songs.Songs());
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
  LinkEntriesToLastRecord(store, songs.Songs());
}

}  // namespace velvane
