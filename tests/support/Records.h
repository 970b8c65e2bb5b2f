#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/db/Records.h"
#include "core/db/TrackStore.h"
#include "core/editors/RecordEditor.h"
#include "support/Fakes.h"

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
  values.reserve(static_cast<std::size_t>(nCount));
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

// Append a record or a chart entry to the store and return its index; a link is kept if it is
// below the other array's capacity.
inline int AppendRecord(TrackStore& store, PlaylistEntry record) {
  const int nIndex = store.PlaylistCount();
  store.SetPlaylistEntry(nIndex, std::move(record), store.ChartSize());
  store.SetPlaylistCount(nIndex + 1);
  return nIndex;
}
inline int AppendChart(TrackStore& store, ChartEntry entry) {
  const int nIndex = store.ChartCount();
  store.SetChartEntry(nIndex, std::move(entry), store.PlaySize());
  store.SetChartCount(nIndex + 1);
  return nIndex;
}

// What the editor tests share: a store of ten records and ten chart entries at most, filled in
// order (a link left out is -1), and a scripted prompter.
class EditorFixture : public ::testing::Test {
 protected:
  EditorFixture() { m_store.Allocate(10, 10); }

  void Record(PlaylistEntry record) { AppendRecord(m_store, std::move(record)); }
  void Chart(ChartEntry entry) { AppendChart(m_store, std::move(entry)); }
  // Types `values` into the first fields, in field order, as the operator would.
  static void Type(RecordEditor& editor, const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      editor.SetField(i, values[i]);
    }
  }
  // Every line, the new-record line last.
  static Strings Lines(const RecordEditor& editor) {
    Strings lines;
    lines.reserve(static_cast<std::size_t>(editor.LineCount()));
    for (int i = 0; i < editor.LineCount(); ++i) {
      lines.push_back(editor.Line(i));
    }
    return lines;
  }
  // The edit fields as a line shows them: each followed by a tab.
  static std::string Fields(const RecordEditor& editor) {
    std::string strFields;
    for (std::size_t i = 0; i < editor.FieldCount(); ++i) {
      strFields += editor.Field(i) + '\t';
    }
    return strFields;
  }

  TrackStore m_store;
  FakePrompter m_prompter;
};

}  // namespace velvane
