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
#include "support/FakePrompter.h"

namespace velvane {
namespace {

struct Library {
  TrackStore store;
  std::vector<int> chartLinks;     // each record's chart link as opened
  std::vector<int> playlistLinks;  // each entry's playlist link as opened
};

Library RandomLibrary(std::mt19937& random) {
  Library library;
  const int nRecords = std::uniform_int_distribution<int>(1, 30)(random);
  const int nEntries = std::uniform_int_distribution<int>(1, 30)(random);
  library.store.Allocate(100, 100);
  library.store.SetPlaylistCount(nRecords);
  library.store.SetChartCount(nEntries);
  const auto link = [&random](int nCount) {
    return std::uniform_int_distribution<int>(-nCount / 2, nCount - 1)(random) < 0
               ? -1
               : std::uniform_int_distribution<int>(0, nCount - 1)(random);
  };
  for (int i = 0; i < nRecords; ++i) {
    library.chartLinks.push_back(link(nEntries));
    library.store.SetPlaylistEntry(i, "R" + std::to_string(i), "T", "1", "1",
                                   library.chartLinks.back());
  }
  for (int j = 0; j < nEntries; ++j) {
    library.playlistLinks.push_back(link(nRecords));
    library.store.SetChartEntry(j, "01/01/1990", "C" + std::to_string(j), "T", "1",
                                library.playlistLinks.back());
  }
  return library;
}

// Random deletes, undos and redos on `editor`, mirrored on `kept` (the opened indexes of the
// lines left, in order).
void DeleteAtRandom(RecordEditor& editor, std::vector<int>& kept, std::mt19937& random) {
  std::vector<std::pair<int, int>> undo;  // (line, opened index) of each delete
  std::vector<std::pair<int, int>> redo;
  for (int nStep = 0; nStep < 40; ++nStep) {
    const int nKind = std::uniform_int_distribution<int>(0, 9)(random);
    if (nKind < 6 && !kept.empty()) {
      const int nLine = std::uniform_int_distribution<int>(0, int(kept.size()) - 1)(random);
      editor.OnSelChangeList(nLine);
      ASSERT_TRUE(editor.OnDelete());
      undo.emplace_back(nLine, kept[nLine]);
      kept.erase(kept.begin() + nLine);
      redo.clear();
    } else if (nKind < 9) {
      ASSERT_EQ(editor.OnUndo(), !undo.empty());
      if (!undo.empty()) {
        kept.insert(kept.begin() + undo.back().first, undo.back().second);
        redo.push_back(undo.back());
        undo.pop_back();
      }
    } else {
      ASSERT_EQ(editor.OnRedo(), !redo.empty());
      if (!redo.empty()) {
        kept.erase(kept.begin() + redo.back().first);
        undo.push_back(redo.back());
        redo.pop_back();
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

// Opens `Editor` on random libraries, deletes at random, saves, and hands the library and the
// opened indexes of the lines kept to `check`.
template <typename Editor, typename Check>
void DeleteAndSave(const Check& check) {
  for (unsigned nSeed = 1; nSeed <= 50; ++nSeed) {
    SCOPED_TRACE(nSeed);
    std::mt19937 random(nSeed);
    Library library = RandomLibrary(random);
    FakePrompter prompter;
    Editor editor(library.store, prompter, "T");
    std::vector<int> kept(static_cast<std::size_t>(editor.LineCount() - 1));
    std::iota(kept.begin(), kept.end(), 0);
    DeleteAtRandom(editor, kept, random);
    ASSERT_TRUE(editor.OnSaveAndExit());
    check(library.store, library, kept);
  }
}

TEST(EditorLinks, DeletedRecordsUnlinkTheirChartEntriesAndLaterOnesMoveDown) {
  DeleteAndSave<PlaylistEditor>([](const TrackStore& store, const Library& library,
                                   const std::vector<int>& kept) {
    ASSERT_EQ(store.PlaylistCount(), int(kept.size()));
    std::vector<int> expected;  // each entry's link: its record followed, then set from the lines
    for (const int nLink : library.playlistLinks) {
      expected.push_back(NowAt(kept, nLink));
    }
    for (int i = 0; i < int(kept.size()); ++i) {
      EXPECT_EQ(store.Playlist(i).strArtist, "R" + std::to_string(kept[i]));
      EXPECT_EQ(store.Playlist(i).nChartLink, library.chartLinks[kept[i]]);
      if (library.chartLinks[kept[i]] >= 0) {
        expected[library.chartLinks[kept[i]]] = i;
      }
    }
    for (int j = 0; j < store.ChartCount(); ++j) {
      EXPECT_EQ(store.Chart(j).nPlaylistLink, expected[j]) << "entry " << j;
    }
  });
}

TEST(EditorLinks, DeletedChartEntriesUnlinkTheirRecordsAndLaterOnesMoveDown) {
  DeleteAndSave<ChartEditor>([](const TrackStore& store, const Library& library,
                                const std::vector<int>& kept) {
    ASSERT_EQ(store.ChartCount(), int(kept.size()));
    for (int j = 0; j < int(kept.size()); ++j) {
      EXPECT_EQ(store.Chart(j).strArtist, "C" + std::to_string(kept[j]));
      EXPECT_EQ(store.Chart(j).nPlaylistLink, library.playlistLinks[kept[j]]);
    }
    for (int i = 0; i < store.PlaylistCount(); ++i) {
      EXPECT_EQ(store.Playlist(i).nChartLink, NowAt(kept, library.chartLinks[i])) << "record " << i;
    }
  });
}

}  // namespace
}  // namespace velvane
