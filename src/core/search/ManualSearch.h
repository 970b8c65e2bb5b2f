#pragma once

#include <string>
#include <vector>

#include "core/db/TrackStore.h"
#include "core/search/SearchRow.h"

namespace velvane {

struct ManualSearchResult {
  bool bSearched = false;  // false: nothing to search for, keep the previous results
  std::vector<SearchRow> rows;
  std::string strStatus;
};

// What the status line shows while a search with something to search for runs.
inline constexpr const char* kManualSearchRunning = " Searching...";
inline bool HasSearchText(const std::string& strArtist, const std::string& strTitle) {
  return !strArtist.empty() || !strTitle.empty();
}

// Chart entries matching artist and title (one row per entry, with the linked library track),
// then library tracks that belong to no chart entry. Stops at the 1001st row.
ManualSearchResult ManualSearch(const TrackStore& store, const std::string& strArtist,
                                const std::string& strTitle);

}  // namespace velvane
