// Deleting in the playlist or chart editor keeps the other database's links right: random
// libraries, linked at random both ways, get random deletes, undos and redos, and after
// "Save And Exit" every link is compared with a model that follows each record by identity.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/db/TrackStore.h"
#include "core/editors/ChartEditor.h"
#include "core/editors/PlaylistEditor.h"
#include "support/Fakes.h"
#include "support/Rows.h"

namespace velvane {
namespace {

TrackStore RandomLibrary(std::mt19937& random) {
  TrackStore store;
  const int nRecords = std::uniform_int_distribution<int>(1, 30)(random);
  const int nEntries = std::uniform_int_distribution<int>(1, 30)(random);
  store.Allocate(100, 100);
  store.SetPlaylistCount(nRecords);
  store.SetChartCount(nEntries);
  const auto link = [&random](int nCount) {
    return std::uniform_int_distribution<int>(-nCount / 2, nCount - 1)(random) < 0
               ? -1
               : std::uniform_int_distribution<int>(0, nCount - 1)(random);
  };
  for (int i = 0; i < nRecords; ++i) {
    store.SetPlaylistEntry(i, "R" + std::to_string(i), "T", "1", "1", link(nEntries));
  }
  for (int j = 0; j < nEntries; ++j) {
    store.SetChartEntry(j, "01/01/1990", "C" + std::to_string(j), "T", "1", link(nRecords));
  }
  return store;
}

// Random deletes, undos and redos on `editor`, mirrored on `kept` (the opened indexes of the
// lines left, in order).
void DeleteAtRandom(RecordEditor& editor, std::vector<int>& kept, std::mt19937& random) {
  std::vector<std::vector<int>> undo, redo;  // what `kept` was before each step
  for (int nStep = 0; nStep < 40; ++nStep) {
    const int nKind = std::uniform_int_distribution<int>(0, 9)(random);
    if (nKind < 6 && !kept.empty()) {
      const int nLine = std::uniform_int_distribution<int>(0, int(kept.size()) - 1)(random);
      editor.OnSelChangeList(nLine);
      ASSERT_TRUE(editor.OnDelete());
      undo.push_back(kept);
      kept.erase(kept.begin() + nLine);
      redo.clear();
    } else {
      auto& from = nKind < 9 ? undo : redo;
      ASSERT_EQ(nKind < 9 ? editor.OnUndo() : editor.OnRedo(), !from.empty());
      if (!from.empty()) {
        (nKind < 9 ? redo : undo).push_back(kept);
        kept = from.back();
        from.pop_back();
      }
    }
    ASSERT_EQ(editor.LineCount(), int(kept.size()) + 1);
  }
}

// Where the record opened at `nOpened` is now, or -1.
int NowAt(const std::vector<int>& kept, int nOpened) {
  const auto it = std::find(kept.begin(), kept.end(), nOpened);
  return nOpened < 0 || it == kept.end() ? -1 : int(it - kept.begin());
}

// Opens `Editor` on random libraries, deletes at random, saves, and hands the library saved,
// the library opened and the opened indexes of the lines kept to `check`.
template <typename Editor, typename Check>
void DeleteAndSave(const Check& check) {
  for (unsigned nSeed = 1; nSeed <= 50; ++nSeed) {
    SCOPED_TRACE(nSeed);
    std::mt19937 random(nSeed);
    TrackStore store = RandomLibrary(random);
    const TrackStore opened = store;
    FakePrompter prompter;
    Editor editor(store, prompter, "T");
    std::vector<int> kept(static_cast<std::size_t>(editor.LineCount() - 1));
    std::iota(kept.begin(), kept.end(), 0);
    DeleteAtRandom(editor, kept, random);
    ASSERT_TRUE(editor.OnSaveAndExit());
    check(store, opened, kept);
  }
}

TEST(EditorLinks, DeletedRecordsUnlinkTheirChartEntriesAndLaterOnesMoveDown) {
  DeleteAndSave<PlaylistEditor>([](const TrackStore& store, const TrackStore& opened,
                                   const std::vector<int>& kept) {
    std::vector<int> expected;  // each entry's link: its record followed, then set from the lines
    for (const int nLink : PlaylistLinks(opened)) {
      expected.push_back(NowAt(kept, nLink));
    }
    Strings rows;
    for (int i = 0; i < int(kept.size()); ++i) {
      rows.push_back(Row(opened.Playlist(kept[i])));
      if (const int nLink = opened.Playlist(kept[i]).nChartLink; nLink >= 0) {
        expected[nLink] = i;
      }
    }
    EXPECT_EQ(PlaylistRows(store), rows);
    EXPECT_EQ(PlaylistLinks(store), expected);
  });
}

TEST(EditorLinks, DeletedChartEntriesUnlinkTheirRecordsAndLaterOnesMoveDown) {
  DeleteAndSave<ChartEditor>(
      [](const TrackStore& store, const TrackStore& opened, const std::vector<int>& kept) {
        Strings rows;
        for (const int j : kept) {
          rows.push_back(Row(opened.Chart(j)));
        }
        EXPECT_EQ(ChartRows(store), rows);
        std::vector<int> expected;
        for (const int nLink : ChartLinks(opened)) {
          expected.push_back(NowAt(kept, nLink));
        }
        EXPECT_EQ(ChartLinks(store), expected);
      });
}

}  // namespace
}  // namespace velvane
