#include "core/search/AutoSelection.h"

#include "core/text/DisplayFormat.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// The proposal rows so far: a track whose CD and track texts stand in one of them is a
// duplicate. Rows not yet filled count with empty texts, so an unnumbered record never passes.
bool IsDuplicate(const std::vector<SearchRow>& rows, std::string_view strCD,
                 std::string_view strTrack) {
  if (strCD.empty() && strTrack.empty()) {
    return true;
  }
  for (const SearchRow& row : rows) {
    if (row.strCD == strCD && row.strTrack == strTrack) {
      return true;
    }
  }
  return false;
}

}  // namespace

ChartIndexRange FindYearRange(const TrackStore& store, const std::string& strStartYear,
                              const std::string& strEndYear) {
  ChartIndexRange range;
  // A year typed as the largest number has no year after it (and must not wrap round).
  const long long nYearAfter = static_cast<long long>(Atoi(strEndYear)) + 1;
  for (int i = 0; i < store.ChartCount(); ++i) {
    const std::string_view strDate = store.Chart(i).strDate;
    const std::string_view strYear = strDate.size() > 6 ? strDate.substr(6, 4) : std::string_view();
    if (range.nFirst == -1 && strYear == strStartYear) {
      range.nFirst = i;
    }
    if (Atoi(strYear) == nYearAfter) {
      range.nLast = i - 1;
      return range;
    }
  }
  range.nLast = store.ChartCount() - 1;
  return range;
}

SelectionResult SelectTop40(const TrackStore& store, const std::string& strStartYear,
                            const std::string& strEndYear, Random15& random) {
  SelectionResult result;
  result.strStatus = "Searching...";
  const ChartIndexRange range = FindYearRange(store, strStartYear, strEndYear);
  const int nCount = range.nLast - range.nFirst + 1;
  if (store.ChartCount() == 0) {
    return result;
  }
  for (;;) {
    const int nDrawn = static_cast<int>(range.nFirst + static_cast<double>(random.Next()) * nCount /
                                                           Random15::kRange);
    std::string strDate, strArtist, strTitle, strPosition;
    int nLink = -1;
    store.GetChartEntry(nDrawn, strDate, strArtist, strTitle, strPosition, nLink);
    SearchRow row;
    if (nLink != -1 &&
        store.GetPlaylistEntry(nLink, row.strArtist, row.strTitle, row.strCD, row.strTrack,
                               row.nChartRef) &&
        !IsDuplicate(result.rows, row.strCD, row.strTrack)) {
      row.strChartInfo = FormatChartInfo(strPosition, strDate);
      result.rows.push_back(std::move(row));
      if (result.rows.size() == static_cast<std::size_t>(kSelectionRows)) {
        result.strStatus.clear();
        ++result.nDraws;
        return result;
      }
    }
    ++result.nDraws;
    if (result.nDraws > nCount) {
      result.strStatus.clear();
      return result;
    }
    if (result.nDraws >= store.ChartCount()) {
      return result;
    }
  }
}

SelectionResult SelectOutOfChart(const TrackStore& store, Random15& random) {
  SelectionResult result;
  result.strStatus = "Searching...";
  const int nRecords = store.PlaylistCount();
  if (nRecords == 0) {
    return result;
  }
  int nMisses = 0;
  for (;;) {
    const int nDrawn =
        static_cast<int>(static_cast<double>(random.Next()) * nRecords / Random15::kRange);
    const PlaylistView record = store.Playlist(nDrawn);
    if (record.nChartLink == -1 && !IsDuplicate(result.rows, record.strCD, record.strTrack)) {
      result.rows.push_back(RecordRow(record));
      nMisses = 0;
      if (result.rows.size() == static_cast<std::size_t>(kSelectionRows)) {
        result.strStatus.clear();
        ++result.nDraws;
        return result;
      }
    }
    if (++nMisses > 1000) {
      result.strStatus.clear();
      ++result.nDraws;
      return result;
    }
    if (++result.nDraws >= nRecords) {
      return result;
    }
  }
}

std::vector<std::string> SelectableYears(int nCurrentYear) {
  std::vector<std::string> years;
  for (int nYear = kFirstChartYear; nYear <= nCurrentYear; ++nYear) {
    years.push_back(std::to_string(nYear));
  }
  return years;
}

void KeepYearsInOrder(std::string& strStartYear, std::string& strEndYear, bool bStartChanged) {
  if (strStartYear <= strEndYear) {
    return;
  }
  if (bStartChanged) {
    strStartYear = strEndYear;
  } else {
    strEndYear = strStartYear;
  }
}

}  // namespace velvane
