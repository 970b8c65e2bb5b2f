#include "core/search/ManualSearch.h"

#include "core/search/TextMatch.h"
#include "core/text/DisplayFormat.h"

namespace velvane {

namespace {

constexpr std::size_t kRowLimit = 1000;  // the search ends on the row after this

std::string EmptyIfZero(const std::string& strNumber) {
  return strNumber == "0" ? std::string() : strNumber;
}

}  // namespace

ManualSearchResult ManualSearch(const TrackStore& store, const std::string& strArtist,
                                const std::string& strTitle) {
  ManualSearchResult result;
  if (!HasSearchText(strArtist, strTitle)) {
    result.strStatus = " Nothing to search for";
    return result;
  }
  result.bSearched = true;
  const std::string strTyped = strArtist + " - " + strTitle;
  const std::string strOver = " Over 1000 tracks found for   " + strTyped;
  const TextMatcher matcher(strArtist, strTitle);

  for (int c = 0; c < store.ChartCount(); ++c) {
    const ChartView entry = store.Chart(c);
    if (matcher.Count(entry.strArtist, entry.strTitle) != 2) {
      continue;
    }
    SearchRow row;
    std::string strCD, strTrack;
    int nChartLink = -1;
    if (store.GetPlaylistEntry(entry.nPlaylistLink, row.strArtist, row.strTitle, strCD, strTrack,
                               nChartLink)) {
      row.strCD = EmptyIfZero(strCD);
      row.strTrack = EmptyIfZero(strTrack);
      row.nChartRef = nChartLink;
    } else {
      row.strArtist = entry.strArtist;
      row.strTitle = entry.strTitle;
    }
    row.strChartInfo = FormatChartInfo(entry.strPosition, entry.strDate);
    result.rows.push_back(std::move(row));
    if (result.rows.size() > kRowLimit) {
      result.strStatus = strOver;
      return result;
    }
  }

  for (int p = 0; p < store.PlaylistCount(); ++p) {
    const PlaylistView record = store.Playlist(p);
    if (record.nChartLink != -1 || matcher.Count(record.strArtist, record.strTitle) != 2) {
      continue;
    }
    result.rows.push_back(RecordRow(record));
    if (result.rows.size() > kRowLimit) {
      result.strStatus = strOver;
      return result;
    }
  }
  result.strStatus = " " + std::to_string(result.rows.size()) + " tracks found for   " + strTyped;
  return result;
}

}  // namespace velvane
