#include "core/maintenance/Relationships.h"

#include <cstdint>
#include <string>
#include <vector>

#include "core/maintenance/Prefetch.h"
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

// Each pass visits the songs in item order, that is at random, and in a large library they do not
// fit in the cache: each pass asks for the song of the item this many places on, so that the
// waits for memory overlap.
constexpr int kAhead = 64;

// Every entry of a song that has a record takes the last one; with bClearOthers the rest lose
// their links.
void LinkEntriesToLastRecord(TrackStore& store, const SongNumbers& numbers,
                             const std::vector<Song>& songs, bool bClearOthers) {
  for (int c = 0; c < store.ChartCount(); ++c) {
    if (c + kAhead < store.ChartCount()) {
      PrefetchForRead(&songs[numbers.OfEntry(c + kAhead)]);
    }
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
    if (c + kAhead < store.ChartCount()) {
      PrefetchForWrite(&songs[numbers.OfEntry(c + kAhead)]);
    }
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
    if (p + kAhead < store.PlaylistCount()) {
      PrefetchForWrite(&songs[numbers.OfRecord(p + kAhead)]);
    }
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
  const int nRecords = store.PlaylistCount();
  std::vector<int> links(static_cast<std::size_t>(nRecords));
  for (int p = 0; p < nRecords; ++p) {
    steps.Step();
    const int nLink = store.Playlist(p).nChartLink;
    links[static_cast<std::size_t>(p)] = nLink >= 0 && nLink < store.ChartCount() ? nLink : -1;
  }
  // A link may name any entry, so both steps from a record to its song, the entry's number and
  // then the song, are asked for ahead.
  const auto linkOf = [&links](int p) { return links[static_cast<std::size_t>(p)]; };
  for (int p = 0; p < nRecords; ++p) {
    if (p + 2 * kAhead < nRecords && linkOf(p + 2 * kAhead) != -1) {
      numbers.PrefetchEntry(linkOf(p + 2 * kAhead));
    }
    if (p + kAhead < nRecords && linkOf(p + kAhead) != -1) {
      PrefetchForWrite(&songs[numbers.OfEntry(linkOf(p + kAhead))]);
    }
    if (linkOf(p) != -1) {
      songs[numbers.OfEntry(linkOf(p))].nLastRecord = p;
    }
  }
  LinkEntriesToLastRecord(store, numbers, songs, false);
}

}  // namespace velvane
