#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/db/NativeFile.h"
#include "core/db/PackedRecords.h"
#include "core/db/Records.h"

namespace velvane {

// The playlist and chart arrays: fixed capacities set once, with the number of records in
// use. A capacity is a limit, not an allocation: memory grows with the records stored, so a
// large limit costs nothing until it is used. Setters check the index against the capacity
// (loaders and the CD import fill records beyond the count and raise it afterwards); getters
// and the link setters check it against the count. A link is stored only if it is -1 or an index
// below the other array's count; anything else becomes -1.
class TrackStore {
 public:
  // Sets both capacities and empties both arrays; both counts become 0.
  void Allocate(int nPlaySize, int nChartSize);

  int PlaySize() const { return m_nPlaySize; }
  int ChartSize() const { return m_nChartSize; }
  int PlaylistCount() const { return m_nPlaylistCount; }
  int ChartCount() const { return m_nChartCount; }
  // Counts are clamped to 0..capacity.
  void SetPlaylistCount(int nCount);
  void SetChartCount(int nCount);

  void SetPlaylistEntry(int nIndex, const std::string& strArtist, const std::string& strTitle,
                        const std::string& strCD, const std::string& strTrack, int nChartLink);
  void SetChartEntry(int nIndex, const std::string& strDate, const std::string& strArtist,
                     const std::string& strTitle, const std::string& strPosition,
                     int nPlaylistLink);
  // As above, with the link checked against `nLinkLimit` instead of the other array's count.
  // Loading uses this while the other database is not loaded yet.
  void SetPlaylistEntry(int nIndex, PlaylistEntry entry, int nLinkLimit);
  void SetChartEntry(int nIndex, ChartEntry entry, int nLinkLimit);

  // Replace the array with the records of a playlist.dat / charts.dat content, which the store
  // keeps: the records' texts stay where they are in it, so a load copies no field. At most
  // the capacity is stored and links are checked against `nLinkLimit`; the count is set.
  // Returns whether non-blank lines were left out for lack of room.
  bool LoadPlaylistText(TextBuffer content, int nLinkLimit);
  bool LoadChartText(TextBuffer content, int nLinkLimit);
  // Chart links at or past `nLinkLimit` become -1: for charts loaded before the playlist's
  // count was known.
  void LimitChartLinks(int nLinkLimit);

  // Copy the record out if the index is below the count; otherwise only the link output is set
  // (to -1) and the texts keep what they held. Returns whether the index was valid.
  bool GetPlaylistEntry(int nIndex, std::string& strArtist, std::string& strTitle,
                        std::string& strCD, std::string& strTrack, int& nChartLink) const;
  bool GetChartEntry(int nIndex, std::string& strDate, std::string& strArtist,
                     std::string& strTitle, std::string& strPosition, int& nPlaylistLink) const;

  void SetPlaylistReference(int nChartLink, int nPlaylistIndex);
  void SetChartReference(int nPlaylistLink, int nChartIndex);

  // The first record with the same CD and track numbers (compared as integers, so "007" finds
  // 7). On no match artist and title are emptied and the link is -1.
  bool FindPlaylistEntry(const std::string& strCD, const std::string& strTrack,
                         std::string& strArtist, std::string& strTitle, int& nChartLink) const;

  // Direct read access for whole-array passes (searches, saving); the index must be below the
  // count. The views are valid until the store changes.
  PlaylistView Playlist(int nIndex) const;
  ChartView Chart(int nIndex) const;

 private:
  // Records up to the highest index stored or counted; all of them below the capacity. Read
  // records point into the content they were loaded from; records set since, when they
  // differ, are owned copies (their links are kept in the packed record alone).
  std::vector<PackedPlaylist> m_playlist;
  std::vector<PackedChart> m_charts;
  // Never changed once loaded: copies of the store share it.
  std::shared_ptr<const TextBuffer> m_playlistText = std::make_shared<const TextBuffer>();
  std::shared_ptr<const TextBuffer> m_chartText = std::make_shared<const TextBuffer>();
  std::vector<PlaylistEntry> m_ownedPlaylist;
  std::vector<ChartEntry> m_ownedCharts;
  int m_nPlaySize = 0;
  int m_nChartSize = 0;
  int m_nPlaylistCount = 0;
  int m_nChartCount = 0;
};

}  // namespace velvane
