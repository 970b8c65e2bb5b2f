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
std::string Row(const PlaylistView& record);
std::string Row(const ChartView& entry);
std::string Row(const NumberOneEntry& entry);
template <typename Entry>
Strings Rows(const std::vector<Entry>& entries) {
  Strings rows;
  rows.reserve(entries.size());
  for (const Entry& entry : entries) {
    rows.push_back(Row(entry));
  }
  return rows;
}
Strings PlaylistRows(const TrackStore& store);
Strings ChartRows(const TrackStore& store);
// Each record's chart link, and each chart entry's playlist link.
std::vector<int> ChartLinks(const TrackStore& store);
std::vector<int> PlaylistLinks(const TrackStore& store);

// Whether `text` holds `part`; a failure shows both.
testing::AssertionResult Contains(std::string_view text, std::string_view part);

}  // namespace velvane
