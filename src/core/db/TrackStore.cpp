#include "core/db/TrackStore.h"

#include <algorithm>
#include <utility>

#include "core/db/LineCodec.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// Makes records up to `nIndex` exist; they start empty. The vector grows by doubling, so
// records set one after another do not copy the array each time.
template <typename Packed>
Packed& Grown(std::vector<Packed>& records, int nIndex) {
  if (static_cast<std::size_t>(nIndex) >= records.size()) {
    records.resize(static_cast<std::size_t>(nIndex) + 1);
  }
  return records[static_cast<std::size_t>(nIndex)];
}

// A link as stored: -1 or an index below `nLimit`; anything else becomes -1.
int CheckedLink(int nLink, int nLimit) {
  return nLink < -1 || nLink >= nLimit ? -1 : nLink;
}

// Makes `packed` an owned copy holding `entry`'s texts, appended to `owned`.
template <typename Packed, typename Entry>
void MakeOwned(Packed& packed, std::vector<Entry>& owned, Entry entry) {
  packed.nOffset = static_cast<std::uint32_t>(owned.size());
  packed.texts[0] = kOwnedRecord;
  owned.push_back(std::move(entry));
}

bool SameTexts(const PlaylistView& a, const PlaylistView& b) {
  return a.strArtist == b.strArtist && a.strTitle == b.strTitle && a.strCD == b.strCD &&
         a.strTrack == b.strTrack;
}

bool SameTexts(const ChartView& a, const ChartView& b) {
  return a.strDate == b.strDate && a.strArtist == b.strArtist && a.strTitle == b.strTitle &&
         a.strPosition == b.strPosition;
}

// The view of a stored record, its link from the packed record.
template <typename View, typename Packed, typename Entry>
View StoredView(std::string_view strText, const std::vector<Entry>& owned, const Packed& packed,
                int View::*pLink) {
  if (!packed.Owned()) {
    return Unpack(strText, packed);
  }
  View view = owned[packed.nOffset];
  view.*pLink = packed.nLink;
  return view;
}

// Sets the texts of a record: a record that already holds them stays as it is (a read record
// keeps pointing into its file); otherwise it becomes, or stays, an owned copy.
template <typename View, typename Packed, typename Entry>
void StoreTexts(std::string_view strText, std::vector<Entry>& owned, Packed& packed, Entry entry,
                int View::*pLink) {
  if (SameTexts(StoredView(strText, owned, packed, pLink), static_cast<View>(entry))) {
    return;
  }
  if (packed.Owned()) {
    owned[packed.nOffset] = std::move(entry);
    return;
  }
  MakeOwned(packed, owned, std::move(entry));
}

// Fills `records` from the non-blank lines of `strText`, at most `nCapacity`; lines whose
// texts cannot be packed become owned copies. Returns whether lines were left out.
template <typename View, typename Packed, typename Entry>
bool LoadRecords(std::string_view strText, int nCapacity, int nLinkLimit,
                 View (*read)(std::string_view), int View::*pLink, std::vector<Packed>& records,
                 std::vector<Entry>& owned) {
  std::size_t nLines = 0;
  std::string_view line;
  for (LineScanner counter(strText); counter.Next(line);) {
    ++nLines;
  }
  records.clear();
  records.shrink_to_fit();
  records.reserve(std::min(nLines, static_cast<std::size_t>(nCapacity)));
  owned.clear();
  for (LineScanner scanner(strText); scanner.Next(line);) {
    if (IsBlankLine(line)) {
      continue;
    }
    if (records.size() >= static_cast<std::size_t>(nCapacity)) {
      return true;
    }
    View view = read(line);
    view.*pLink = CheckedLink(view.*pLink, nLinkLimit);
    Packed& packed = records.emplace_back();
    if (!Pack(strText, view, packed)) {
      packed = Packed{};
      packed.nLink = view.*pLink;
      MakeOwned(packed, owned, OwnedEntry(view));
    }
  }
  return false;
}

}  // namespace

void TrackStore::Allocate(int nPlaySize, int nChartSize) {
  *this = TrackStore{};  // gives the memory back
  m_nPlaySize = std::max(nPlaySize, 0);
  m_nChartSize = std::max(nChartSize, 0);
}

void TrackStore::SetPlaylistCount(int nCount) {
  m_nPlaylistCount = std::clamp(nCount, 0, PlaySize());
  if (m_nPlaylistCount > 0) {
    Grown(m_playlist, m_nPlaylistCount - 1);  // counted records exist, empty if never set
  }
}

void TrackStore::SetChartCount(int nCount) {
  m_nChartCount = std::clamp(nCount, 0, ChartSize());
  if (m_nChartCount > 0) {
    Grown(m_charts, m_nChartCount - 1);
  }
}

void TrackStore::SetPlaylistEntry(int nIndex, const std::string& strArtist,
                                  const std::string& strTitle, const std::string& strCD,
                                  const std::string& strTrack, int nChartLink) {
  SetPlaylistEntry(nIndex, PlaylistEntry{strArtist, strTitle, strCD, strTrack, nChartLink},
                   m_nChartCount);
}

void TrackStore::SetChartEntry(int nIndex, const std::string& strDate, const std::string& strArtist,
                               const std::string& strTitle, const std::string& strPosition,
                               int nPlaylistLink) {
  SetChartEntry(nIndex, ChartEntry{strDate, strArtist, strTitle, strPosition, nPlaylistLink},
                m_nPlaylistCount);
}

void TrackStore::SetPlaylistEntry(int nIndex, PlaylistEntry entry, int nLinkLimit) {
  if (nIndex < 0 || nIndex >= PlaySize()) {
    return;
  }
  PackedPlaylist& packed = Grown(m_playlist, nIndex);
  packed.nLink = CheckedLink(entry.nChartLink, nLinkLimit);
  StoreTexts(m_playlistText->View(), m_ownedPlaylist, packed, std::move(entry),
             &PlaylistView::nChartLink);
}

void TrackStore::SetChartEntry(int nIndex, ChartEntry entry, int nLinkLimit) {
  if (nIndex < 0 || nIndex >= ChartSize()) {
    return;
  }
  PackedChart& packed = Grown(m_charts, nIndex);
  packed.nLink = CheckedLink(entry.nPlaylistLink, nLinkLimit);
  StoreTexts(m_chartText->View(), m_ownedCharts, packed, std::move(entry),
             &ChartView::nPlaylistLink);
}

bool TrackStore::LoadPlaylistText(TextBuffer content, int nLinkLimit) {
  m_playlistText = std::make_shared<const TextBuffer>(std::move(content));
  const bool bCut = LoadRecords(m_playlistText->View(), PlaySize(), nLinkLimit, ReadPlaylistLine,
                                &PlaylistView::nChartLink, m_playlist, m_ownedPlaylist);
  m_nPlaylistCount = static_cast<int>(m_playlist.size());
  return bCut;
}

bool TrackStore::LoadChartText(TextBuffer content, int nLinkLimit) {
  m_chartText = std::make_shared<const TextBuffer>(std::move(content));
  const bool bCut = LoadRecords(m_chartText->View(), ChartSize(), nLinkLimit, ReadChartLine,
                                &ChartView::nPlaylistLink, m_charts, m_ownedCharts);
  m_nChartCount = static_cast<int>(m_charts.size());
  return bCut;
}

void TrackStore::LimitChartLinks(int nLinkLimit) {
  for (PackedChart& packed : m_charts) {
    packed.nLink = CheckedLink(packed.nLink, nLinkLimit);
  }
}

PlaylistView TrackStore::Playlist(int nIndex) const {
  return StoredView(m_playlistText->View(), m_ownedPlaylist,
                    m_playlist[static_cast<std::size_t>(nIndex)], &PlaylistView::nChartLink);
}

ChartView TrackStore::Chart(int nIndex) const {
  return StoredView(m_chartText->View(), m_ownedCharts, m_charts[static_cast<std::size_t>(nIndex)],
                    &ChartView::nPlaylistLink);
}

bool TrackStore::GetPlaylistEntry(int nIndex, std::string& strArtist, std::string& strTitle,
                                  std::string& strCD, std::string& strTrack,
                                  int& nChartLink) const {
  if (nIndex < 0 || nIndex >= m_nPlaylistCount) {
    nChartLink = -1;
    return false;
  }
  const PlaylistView entry = Playlist(nIndex);
  strArtist = entry.strArtist;
  strTitle = entry.strTitle;
  strCD = entry.strCD;
  strTrack = entry.strTrack;
  nChartLink = entry.nChartLink;
  return true;
}

bool TrackStore::GetChartEntry(int nIndex, std::string& strDate, std::string& strArtist,
                               std::string& strTitle, std::string& strPosition,
                               int& nPlaylistLink) const {
  if (nIndex < 0 || nIndex >= m_nChartCount) {
    nPlaylistLink = -1;
    return false;
  }
  const ChartView entry = Chart(nIndex);
  strDate = entry.strDate;
  strArtist = entry.strArtist;
  strTitle = entry.strTitle;
  strPosition = entry.strPosition;
  nPlaylistLink = entry.nPlaylistLink;
  return true;
}

void TrackStore::SetPlaylistReference(int nChartLink, int nPlaylistIndex) {
  if (nPlaylistIndex >= 0 && nPlaylistIndex < m_nPlaylistCount) {
    m_playlist[static_cast<std::size_t>(nPlaylistIndex)].nLink =
        CheckedLink(nChartLink, m_nChartCount);
  }
}

void TrackStore::SetChartReference(int nPlaylistLink, int nChartIndex) {
  if (nChartIndex >= 0 && nChartIndex < m_nChartCount) {
    m_charts[static_cast<std::size_t>(nChartIndex)].nLink =
        CheckedLink(nPlaylistLink, m_nPlaylistCount);
  }
}

bool TrackStore::FindPlaylistEntry(const std::string& strCD, const std::string& strTrack,
                                   std::string& strArtist, std::string& strTitle,
                                   int& nChartLink) const {
  const int nCD = Atoi(strCD);
  const int nTrack = Atoi(strTrack);
  for (int i = 0; i < m_nPlaylistCount; ++i) {
    const PlaylistView entry = Playlist(i);
    if (Atoi(entry.strCD) == nCD && Atoi(entry.strTrack) == nTrack) {
      strArtist = entry.strArtist;
      strTitle = entry.strTitle;
      nChartLink = entry.nChartLink;
      return true;
    }
  }
  strArtist.clear();
  strTitle.clear();
  nChartLink = -1;
  return false;
}

}  // namespace velvane
