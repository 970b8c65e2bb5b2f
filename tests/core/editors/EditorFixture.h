#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/db/TrackStore.h"
#include "core/editors/RecordEditor.h"
#include "support/Fakes.h"
#include "support/Rows.h"

namespace velvane {

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
