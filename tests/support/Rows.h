#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/db/Records.h"
#include "core/db/TrackStore.h"

namespace velvane {

using Strings = std::vector<std::string>;

// Records as texts, every field as stored joined by "|" ("Artist|Title|12|3|-1"), so that a test
// compares whole records, or a whole database, in one assertion.
inline std::string Row(const PlaylistView& record) {
  return std::string(record.strArtist) + '|' + std::string(record.strTitle) + '|' +
         std::string(record.strCD) + '|' + std::string(record.strTrack) + '|' +
         std::to_string(record.nChartLink);
}
inline std::string Row(const ChartView& entry) {
  return std::string(entry.strDate) + '|' + std::string(entry.strArtist) + '|' +
         std::string(entry.strTitle) + '|' + std::string(entry.strPosition) + '|' +
         std::to_string(entry.nPlaylistLink);
}
inline std::string Row(const NumberOneEntry& entry) {
  return entry.strDate + '|' + entry.strArtist + '|' + entry.strTitle + '|' + entry.strCD + '|' +
         entry.strTrack;
}

// What `get` gives for each index below `nCount`.
template <typename Get>
auto Each(int nCount, Get get) {
  std::vector<decltype(get(0))> values;
  for (int i = 0; i < nCount; ++i) {
    values.push_back(get(i));
  }
  return values;
}

template <typename Entry>
Strings Rows(const std::vector<Entry>& entries) {
  return Each(static_cast<int>(entries.size()),
              [&](int i) { return Row(entries[static_cast<std::size_t>(i)]); });
}
inline Strings PlaylistRows(const TrackStore& store) {
  return Each(store.PlaylistCount(), [&](int i) { return Row(store.Playlist(i)); });
}
inline Strings ChartRows(const TrackStore& store) {
  return Each(store.ChartCount(), [&](int i) { return Row(store.Chart(i)); });
}
// Each record's chart link, and each chart entry's playlist link.
inline std::vector<int> ChartLinks(const TrackStore& store) {
  return Each(store.PlaylistCount(), [&](int i) { return store.Playlist(i).nChartLink; });
}
inline std::vector<int> PlaylistLinks(const TrackStore& store) {
  return Each(store.ChartCount(), [&](int i) { return store.Chart(i).nPlaylistLink; });
}

// Whether `text` holds `part`; a failure shows both.
inline testing::AssertionResult Contains(std::string_view text, std::string_view part) {
  if (text.find(part) != std::string_view::npos) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure()
         << testing::PrintToString(std::string(text)) << " does not hold "
         << testing::PrintToString(std::string(part));
}

}  // namespace velvane
