#include "core/playback/QueueEditor.h"

#include <gtest/gtest.h>

namespace velvane {
namespace {

// A queue whose slots hold the given artists ("" = a track the library does not know).
class QueueEditorTest : public ::testing::Test {
 protected:
  QueueEditorTest() { m_store.Allocate(1, 1); }

  QueueEditor EditorOf(const std::vector<std::string>& artists) {
    PlayQueue queue(m_store);
    for (std::size_t i = 0; i < artists.size(); ++i) {
      queue.m_strQueueCD[i] = std::to_string(i + 1);
      queue.m_strQueueTrack[i] = std::string("1");  // a bare "1": false GCC 12 -Wrestrict at -O3
      queue.m_strQueueArtist[i] = artists[i];
      queue.m_strQueueTitle[i] = artists[i].empty() ? "" : "T" + artists[i];
    }
    return QueueEditor(queue);
  }

  static std::vector<std::string> Artists(const QueueEditor& editor) {
    std::vector<std::string> artists;
    for (int i = 0; i < kQueueSlots && !editor.m_strCD[i].empty(); ++i) {
      artists.push_back(editor.m_strArtist[i]);
    }
    return artists;
  }

  TrackStore m_store;
};

TEST_F(QueueEditorTest, MovesSwapWithTheNeighbourAndFollowTheMovedLine) {
  QueueEditor editor = EditorOf({"A", "B", "C", "D", "E"});
  EXPECT_EQ(editor.ListLines()[2], "C\tTC");
  EXPECT_EQ(editor.OnMoveUp(2, false), 1);
  EXPECT_EQ(Artists(editor), (std::vector<std::string>{"A", "C", "B", "D", "E"}));
  EXPECT_EQ(editor.OnMoveUp(0, false), -1);    // the top line cannot go higher
  EXPECT_EQ(editor.OnMoveDown(4, false), -1);  // nothing below the last track
  // The playing head neither moves nor goes.
  EXPECT_FALSE(editor.OnRemove(0, true));
  EXPECT_EQ(editor.OnMoveUp(1, true), -1);
  EXPECT_EQ(editor.OnMoveDown(0, true), -1);
  EXPECT_EQ(Artists(editor), (std::vector<std::string>{"A", "C", "B", "D", "E"}));
}

TEST_F(QueueEditorTest, ButtonsActOnTheSlotTheLineShowsPastUnlistedSlots) {
  // Slot 2 holds a track the library does not know: line 1 shows slot 3.
  QueueEditor editor = EditorOf({"A", "", "C", "D"});
  ASSERT_EQ(editor.ListLines().size(), 3u);
  EXPECT_EQ(editor.SlotOfLine(1), 2);
  EXPECT_TRUE(editor.OnRemove(1, false));  // the later slots move up
  EXPECT_EQ(Artists(editor), (std::vector<std::string>{"A", "", "D"}));
  EXPECT_EQ(editor.OnMoveUp(1, false), 1);  // D swaps with the unlisted slot above it
  EXPECT_EQ(Artists(editor), (std::vector<std::string>{"A", "D", ""}));
}

}  // namespace
}  // namespace velvane
