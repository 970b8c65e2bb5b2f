#pragma once

#include <string>
#include <vector>

#include "core/db/TrackStore.h"
#include "core/search/Random.h"
#include "core/search/SearchRow.h"

namespace velvane {

inline constexpr int kSelectionRows = 20;
inline constexpr int kFirstChartYear = 1952;

struct SelectionResult {
  std::vector<SearchRow> rows;  // at most 20 proposals
  std::string strStatus;        // "" when done, "Searching..." when the draws ran out
  int nDraws = 0;
};

// Chart entry indexes first..last of the year range, found in one pass over the date-ordered
// chart database: first is the first entry of the start year (-1 when there is none), last the
// entry before the first one of the year after the end year (else the last entry).
struct ChartIndexRange {
  int nFirst = -1;
  int nLast = -1;
};
ChartIndexRange FindYearRange(const TrackStore& store, const std::string& strStartYear,
                              const std::string& strEndYear);

// Random chart entries of the year range, offered as the library tracks they are linked to.
SelectionResult SelectTop40(const TrackStore& store, const std::string& strStartYear,
                            const std::string& strEndYear, Random15& random);

// Random library tracks that are linked to no chart entry.
SelectionResult SelectOutOfChart(const TrackStore& store, Random15& random);

// The years the combo boxes offer: 1952 up to `nCurrentYear`.
std::vector<std::string> SelectableYears(int nCurrentYear);

// After one year changed: a start year after the end year takes the end year, an end year
// before the start year takes the start year (the changed one gives way).
void KeepYearsInOrder(std::string& strStartYear, std::string& strEndYear, bool bStartChanged);

}  // namespace velvane
