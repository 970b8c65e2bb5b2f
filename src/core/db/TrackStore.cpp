#include "core/db/TrackStore.h"

#include <algorithm>
#include <utility>

#include "core/text/Text.h"

namespace velvane {

namespace {

// Makes records up to `nIndex` exist; they start empty.
template <typename Entry>
Entry& Grown(std::vector<Entry>& records, int nIndex) {
  if (static_cast<std::size_t>(nIndex) >= records.size()) {
    records.resize(static_cast<std::size_t>(nIndex) + 1);
  }
  return records[static_cast<std::size_t>(nIndex)];
}

}  // namespace

void TrackStore::Allocate(int nPlaySize, int nChartSize) {
  m_nPlaySize = std::max(nPlaySize, 0);
  m_nChartSize = std::max(nChartSize, 0);
  m_playlist.clear();
  m_playlist.shrink_to_fit();
  m_charts.clear();
  m_charts.shrink_to_fit();
  m_nPlaylistCount = 0;
  m_nChartCount = 0;
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
  entry.nChartLink = CheckedLink(entry.nChartLink, nLinkLimit);
  Grown(m_playlist, nIndex) = std::move(entry);
}

void TrackStore::SetChartEntry(int nIndex, ChartEntry entry, int nLinkLimit) {
  if (nIndex < 0 || nIndex >= ChartSize()) {
    return;
  }
  entry.nPlaylistLink = CheckedLink(entry.nPlaylistLink, nLinkLimit);
  Grown(m_charts, nIndex) = std::move(entry);
}

bool TrackStore::GetPlaylistEntry(int nIndex, std::string& strArtist, std::string& strTitle,
                                  std::string& strCD, std::string& strTrack,
                                  int& nChartLink) const {
  if (nIndex < 0 || nIndex >= m_nPlaylistCount) {
    nChartLink = -1;
    return false;
  }
  const PlaylistEntry& entry = m_playlist[nIndex];
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
  const ChartEntry& entry = m_charts[nIndex];
  strDate = entry.strDate;
  strArtist = entry.strArtist;
  strTitle = entry.strTitle;
  strPosition = entry.strPosition;
  nPlaylistLink = entry.nPlaylistLink;
  return true;
}

void TrackStore::SetPlaylistReference(int nChartLink, int nPlaylistIndex) {
  if (nPlaylistIndex >= 0 && nPlaylistIndex < m_nPlaylistCount) {
    m_playlist[nPlaylistIndex].nChartLink = CheckedLink(nChartLink, m_nChartCount);
  }
}

void TrackStore::SetChartReference(int nPlaylistLink, int nChartIndex) {
  if (nChartIndex >= 0 && nChartIndex < m_nChartCount) {
    m_charts[nChartIndex].nPlaylistLink = CheckedLink(nPlaylistLink, m_nPlaylistCount);
  }
}

bool TrackStore::FindPlaylistEntry(const std::string& strCD, const std::string& strTrack,
                                   std::string& strArtist, std::string& strTitle,
                                   int& nChartLink) const {
  const int nCD = Atoi(strCD);
  const int nTrack = Atoi(strTrack);
  for (int i = 0; i < m_nPlaylistCount; ++i) {
    const PlaylistEntry& entry = m_playlist[i];
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
