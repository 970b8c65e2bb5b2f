#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/db/TrackStore.h"
#include "core/editors/RecordEditor.h"
#include "support/FakePrompter.h"

namespace velvane {

// What the editor tests share: a store of ten records and ten chart entries at most, filled in
// order (a link left out is -1), and a scripted prompter.
class EditorFixture : public ::testing::Test {
 protected:
  EditorFixture() { m_store.Allocate(10, 10); }

  void Record(PlaylistEntry record) {
    m_store.SetPlaylistEntry(m_store.PlaylistCount(), std::move(record), 10);
    m_store.SetPlaylistCount(m_store.PlaylistCount() + 1);
  }
  void Chart(ChartEntry entry) {
    m_store.SetChartEntry(m_store.ChartCount(), std::move(entry), 10);
    m_store.SetChartCount(m_store.ChartCount() + 1);
  }
  // Types `values` into the first fields, in field order, as the operator would.
  static void Type(RecordEditor& editor, const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      editor.SetField(i, values[i]);
    }
  }

  TrackStore m_store;
  FakePrompter m_prompter;
};

}  // namespace velvane
