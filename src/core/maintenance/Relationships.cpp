#include "core/maintenance/Relationships.h"

#include <cstdint>
#include <string>
#include <vector>

#include "core/maintenance/SongNumbers.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// Chart positions at or above this never become a record's best entry.
constexpr int kNoPosition = 1000;

// One song of either database.
struct Song {
  int nBestEntry = -1;  // first entry with the lowest position below 1000
  int nBestPosition = kNoPosition;
  int nLastRecord = -1;  // last library record of the song, or whose link names one of its entries
};

// Every entry of a song that has a record takes the last one; with bClearOthers the rest lose
// their links.
void LinkEntriesToLastRecord(TrackStore& store, const SongNumbers& numbers,
                             const std::vector<Song>& songs, bool bClearOthers) {
  for (int c = 0; c < store.ChartCount(); ++c) {
    if (const int nRecord = songs[numbers.OfEntry(c)].nLastRecord; nRecord != -1 || bClearOthers) {
      store.SetChartReference(nRecord, c);
    }
  }
}

// Says the caption only when the whole percentage changes, so a fast build does not repaint
// the caption thousands of times.
// With no library records there is nothing to link and nothing is said.
class ProgressSteps {
 public:
  ProgressSteps(const BuildProgress& progress, const TrackStore& store, int nKeys)
      : m_progress(store.PlaylistCount() > 0 ? progress : BuildProgress{}),
        m_nTotal(static_cast<std::int64_t>(nKeys) + store.PlaylistCount()) {}
  void Step() {
    if (!m_progress) {
      return;
    }
    const auto nPercent = static_cast<int>(m_nDone++ * 100 / m_nTotal);
    if (nPercent != m_nLast) {
      m_nLast = nPercent;
      m_progress("Building (" + std::to_string(nPercent) + " percent)");
    }
  }

 private:
  BuildProgress m_progress;
  std::int64_t m_nTotal;
  std::int64_t m_nDone = 0;
  int m_nLast = -1;
};

}  // namespace

void BuildAllRelationships(TrackStore& store, const BuildProgress& progress) {
  ProgressSteps steps(progress, store, store.ChartCount() + store.PlaylistCount());
  const SongNumbers numbers(store, SongSides::ChartAndLibrary, [&steps] { steps.Step(); });
  std::vector<Song> songs(numbers.Count());
  for (int c = 0; c < store.ChartCount(); ++c) {
    Song& song = songs[numbers.OfEntry(c)];
    if (const int nPosition = Atoi(store.Chart(c).strPosition); nPosition < song.nBestPosition) {
      song.nBestEntry = c;
      song.nBestPosition = nPosition;
    }
  }
  // Every link is set afresh: a record without a charted song and an entry without a record
  // get -1, so no separate pass forgets the old links.
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    steps.Step();
    Song& song = songs[numbers.OfRecord(p)];
    store.SetPlaylistReference(song.nBestEntry, p);
    song.nLastRecord = p;
  }
  LinkEntriesToLastRecord(store, numbers, songs, true);
}

void BuildPlaylistReferences(TrackStore& store, const BuildProgress& progress) {
  ProgressSteps steps(progress, store, store.ChartCount());
  const SongNumbers numbers(store, SongSides::ChartOnly, [&steps] { steps.Step(); });
  std::vector<Song> songs(numbers.Count());
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    steps.Step();
    const int nLink = store.Playlist(p).nChartLink;
    if (nLink >= 0 && nLink < store.ChartCount()) {
      songs[numbers.OfEntry(nLink)].nLastRecord = p;
    }
  }
  LinkEntriesToLastRecord(store, numbers, songs, false);
}

}  // namespace velvane
