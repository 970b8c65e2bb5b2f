#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/db/TrackStore.h"
#include "core/editors/RecordEditor.h"
#include "support/FakePrompter.h"

namespace velvane {

// What the editor tests share: a store of ten records and ten chart entries at most, filled in
// order, and a scripted prompter.
class EditorFixture : public ::testing::Test {
 protected:
  EditorFixture() { m_store.Allocate(10, 10); }

  int Record(const std::string& strArtist, const std::string& strTitle, const std::string& strCD,
             const std::string& strTrack, int nChartLink = -1) {
    const int nIndex = m_store.PlaylistCount();
    m_store.SetPlaylistEntry(nIndex, {strArtist, strTitle, strCD, strTrack, nChartLink}, 10);
    m_store.SetPlaylistCount(nIndex + 1);
    return nIndex;
  }
  int Chart(const std::string& strDate, const std::string& strArtist, const std::string& strTitle,
            const std::string& strPosition, int nPlaylistLink = -1) {
    const int nIndex = m_store.ChartCount();
    m_store.SetChartEntry(nIndex, {strDate, strArtist, strTitle, strPosition, nPlaylistLink}, 10);
    m_store.SetChartCount(nIndex + 1);
    return nIndex;
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
