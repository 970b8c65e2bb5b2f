#include "core/playback/PlayQueue.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "core/playback/DeckDriver.h"
#include "core/playback/QueueEditor.h"
#include "core/playback/SavedQueue.h"
#include "support/Fakes.h"
#include "support/FileFaults.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

class PlayQueueTest : public ::testing::Test {
 protected:
  PlayQueueTest() { m_store.Allocate(50, 50); }

  void AddRecord(const std::string& strCD, const std::string& strTrack,
                 const std::string& strArtist, const std::string& strTitle, int nChartLink = -1) {
    AppendRecord(m_store, {strArtist, strTitle, strCD, strTrack, nChartLink});
  }
  int AddChart(const std::string& strDate, const std::string& strPosition) {
    return AppendChart(m_store, {strDate, "A", "T", strPosition, -1});
  }
  void Add(const std::string& strCD, const std::string& strTrack) {
    m_queue.AddToQueue(strCD, strTrack, "", "", 0);
  }
  // One slot as "CD|track|artist|title|link".
  std::string SlotRow(int nSlot) const {
    const QueueSlot& slot = m_queue.Slot(nSlot);
    return slot.strCD + '|' + slot.strTrack + '|' + slot.strArtist + '|' + slot.strTitle + '|' +
           std::to_string(slot.nChartLink);
  }
  // Every text the window shows, in QueueTexts order, joined by "|".
  std::string Shown() const {
    const QueueTexts texts = m_queue.Texts();
    return texts.strNowArtist + '|' + texts.strNowTitle + '|' + texts.strNowChartInfo + '|' +
           texts.strNextTrack + '|' + texts.strNextChartInfo + '|' + texts.strQueueList;
  }

  TrackStore m_store;
  PlayQueue m_queue{m_store};
};

TEST_F(PlayQueueTest, EleventhAddIsDroppedAndAFreedSlotIsFilledFirst) {
  AddRecord("1", "1", "One", "First");
  for (int i = 1; i <= kQueueSlots + 1; ++i) {
    Add(std::to_string(i), "1");
  }
  for (int i = 0; i < kQueueSlots; ++i) {
    EXPECT_EQ(m_queue.Slot(i).strCD, std::to_string(i + 1)) << i;
  }

  m_queue.SetSlotNumbers(4, "", "");
  Add("1", "1");
  EXPECT_EQ(SlotRow(4), "1|1|One|First|-1");
}

TEST_F(PlayQueueTest, LookupReplacesWhatTheCallerPassed) {
  const int nChart = AddChart("25/12/1985", "3");
  AddRecord("7", "3", "Artist", "Title", nChart);
  m_queue.AddToQueue("007", "03", "Caller", "Text", 12);  // numbers compare as integers
  m_queue.AddToQueue("8", "1", "Caller", "Text", 12);     // not in the library
  EXPECT_EQ(SlotRow(0), "007|03|Artist|Title|0");
  EXPECT_EQ(SlotRow(1), "8|1|||-1");
  EXPECT_FALSE(m_queue.IsFree(1));
}

TEST_F(PlayQueueTest, FreeSlotsShowNothingEvenWithALibraryRecordZeroZero) {
  AddRecord("0", "0", "Zero Band", "Zero Song");
  AddRecord("5", "5", "Five", "T");
  for (int i = 0; i < 5; ++i) {
    Add("5", "5");
  }
  m_queue.SetHeadStarted(true);
  m_queue.AdvanceQueue();  // slot 5 becomes free
  EXPECT_EQ(m_queue.Texts().strQueueList, "03 Five - T\n04 Five - T\n");
  const QueueSlots edited = m_queue.Slots();  // the queue editor's save looks up every slot
  m_queue.ReplaceSlots(edited);
  EXPECT_EQ(m_queue.Texts().strQueueList, "03 Five - T\n04 Five - T\n");

  // Numbers that read as 0 / 0 are no track either; a real number finds its record.
  m_queue.SetSlotNumbers(0, "abc", "x");
  EXPECT_EQ(SlotRow(0), "abc|x|||-1");
  m_queue.SetSlotNumbers(0, "005", "5");
  EXPECT_EQ(SlotRow(0), "005|5|Five|T|-1");
  m_queue.SetSlotNumbers(0, "", "");
  EXPECT_EQ(SlotRow(0), "||||-1");
  EXPECT_TRUE(m_queue.IsFree(0));
}

TEST_F(PlayQueueTest, AdvanceNeedsTheHeadStarted) {
  const int nChart = AddChart("01/02/1990", "9");
  AddRecord("1", "1", "A1", "T1");
  AddRecord("2", "2", "A2", "T2", nChart);
  Add("1", "1");
  Add("2", "2");
  EXPECT_EQ(Shown(), "A1|T1||A2 - T2|No. 9   on   01 February 1990|");
  EXPECT_FALSE(m_queue.AdvanceQueue());
  EXPECT_EQ(m_queue.Texts().strNowArtist, "A1");

  // Slots whose numbers move are looked up again, so library edits show after the advance.
  m_store.SetPlaylistEntry(1, "Edited", "T2", "2", "2", nChart);
  m_queue.SetHeadStarted(true);
  EXPECT_TRUE(m_queue.AdvanceQueue());
  EXPECT_EQ(m_queue.Slot(0).strTrack, "2");
  for (int i = 1; i < kQueueSlots; ++i) {
    EXPECT_TRUE(m_queue.IsFree(i)) << i;
  }
  EXPECT_EQ(Shown(), "Edited|T2|No. 9   on   01 February 1990| - ||");
}

TEST_F(PlayQueueTest, QueueListSkipsUnknownSlotsButKeepsNumbers) {
  AddRecord("1", "1", "Head", "H");
  AddRecord("3", "1", "Artist", "Title");
  AddRecord("5", "1", "Other", "Song");
  for (const char* pszCD : {"1", "1", "3", "4", "5"}) {  // no CD 4 in the library
    Add(pszCD, "1");
  }
  EXPECT_EQ(m_queue.Texts().strQueueList, "03 Artist - Title\n05 Other - Song\n");
  EXPECT_EQ(m_queue.Texts().strNextTrack, "Head - H");
}

TEST_F(PlayQueueTest, TextsConvertEachStoredFieldOnItsOwn) {
  AddRecord("1", "1", "Bj\xC3\xB6rk", "J\xF3ga");   // artist UTF-8, title Windows-1252
  AddRecord("2", "1", "Mot\xF6rhead", "Ace");       // Windows-1252
  AddRecord("3", "1", "Sigur R\xC3\xB3s", "Hopp");  // UTF-8
  for (const char* pszCD : {"2", "1", "1", "2", "3"}) {
    Add(pszCD, "1");
  }
  EXPECT_EQ(Shown(),
            "Mot\xC3\xB6rhead|Ace||Bj\xC3\xB6rk - J\xC3\xB3ga||03 Bj\xC3\xB6rk - J\xC3\xB3ga\n"
            "04 Mot\xC3\xB6rhead - Ace\n05 Sigur R\xC3\xB3s - Hopp\n");
}

TEST_F(PlayQueueTest, NowPlayingIsCutTo56Bytes) {
  // 55 ASCII bytes and a two-byte character: the cut moves before the character.
  const std::string strArtist = std::string(55, 'a') + "\xC3\xA9" + "tail";
  const std::string strTitle(80, 't');
  AddRecord("1", "1", strArtist, strTitle);
  Add("1", "1");
  Add("1", "1");
  EXPECT_EQ(Shown(), std::string(55, 'a') + '|' + std::string(56, 't') + "||" + strArtist + " - " +
                         strTitle + "||");  // the next track is not cut
}

TEST_F(PlayQueueTest, AChartLinkOutsideTheChartsReadsEmptyFieldsAndClearEmptiesEverything) {
  AddRecord("1", "1", "A", "T", AddChart("25/12/1985", "3"));
  m_store.SetChartCount(0);
  for (int i = 0; i < 3; ++i) {
    Add("1", "1");
  }
  EXPECT_EQ(m_queue.Texts().strNowChartInfo, "No.    on   00  0000");
  m_queue.ClearQueue();
  for (int i = 0; i < kQueueSlots; ++i) {
    EXPECT_TRUE(m_queue.IsFree(i)) << i;
  }
  EXPECT_EQ(Shown(), "||| - ||");
}

TEST(DeckDriver, SendsTheExactCommandStrings) {
  FakeMci mci;
  mci.AddFile("/music/001/01 A Song.mp3", 5000);
  DeckDriver decks(mci);
  EXPECT_TRUE(decks.OpenAndPlayDeck(1, "/music/001/01 A Song.mp3"));
  EXPECT_FALSE(decks.OpenAndPlayDeck(2, "/missing.mp3"));  // a failed open sends no Play
  decks.SetDeckVolume(1, -5);
  decks.SetDeckVolume(2, 1500);
  decks.SetDeckVolume(2, 640);
  std::string text;
  decks.GetDeckPosition(1, text);
  decks.GetDeckLength(1, text);
  decks.StopDeck(2);
  decks.CloseDeck(2);
  decks.StopAndCloseAllDecks();
  EXPECT_EQ(mci.TakeCommands(),
            (std::vector<std::string>{
                "Open \"/music/001/01 A Song.mp3\"  alias Track1", "Play Track1",
                "Open \"/missing.mp3\"  alias Track2", "setaudio Track1 volume to 0",
                "setaudio Track2 volume to 1000", "setaudio Track2 volume to 640",
                "status Track1 position", "status Track1 length", "stop Track2", "close Track2",
                "stop Track1", "stop Track2", "close Track1", "close Track2"}));
}

TEST(DeckDriver, StateFollowsPositionAndLength) {
  FakeMci mci;
  mci.AddFile("a.wav", 3000);
  DeckDriver decks(mci);
  EXPECT_EQ(decks.GetDeckState(1), DeckState::kIdle);  // not open: no reply
  decks.OpenAndPlayDeck(1, "a.wav");
  EXPECT_EQ(decks.GetDeckState(1), DeckState::kIdle);
  mci.Advance(2999);
  EXPECT_EQ(decks.GetDeckState(1), DeckState::kPlaying);
  mci.Advance(1);
  EXPECT_EQ(decks.GetDeckState(1), DeckState::kAtEnd);
}

// A queue whose slots hold the given artists ("" = a track the library does not know).
class QueueEditorTest : public ::testing::Test {
 protected:
  static QueueEditor EditorOf(const std::vector<std::string>& artists) {
    QueueSlots slotsOfQueue;
    for (std::size_t i = 0; i < artists.size(); ++i) {
      slotsOfQueue[i] = {std::to_string(i + 1), "1", artists[i],
                         artists[i].empty() ? "" : "T" + artists[i]};
    }
    return QueueEditor(slotsOfQueue);
  }

  static std::vector<std::string> Artists(const QueueEditor& editor) {
    std::vector<std::string> artists;
    for (const QueueSlot& slot : editor.Slots()) {
      if (!slot.strCD.empty()) {
        artists.push_back(slot.strArtist);
      }
    }
    return artists;
  }
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

using namespace std::string_literals;
using Slots = std::array<std::string, kQueueSlots>;

class SavedQueueTest : public ::testing::Test {
 protected:
  SavedQueueTest() {
    m_store.Allocate(10, 10);
    m_store.SetPlaylistEntry(0, "Artist", "Title", "12", "3", -1);
    m_store.SetPlaylistCount(1);
  }

  std::string PathOf(const std::string& strName) const { return (m_dir.Path() / strName).string(); }

  // One field of every slot, in queue order.
  Slots Column(std::string QueueSlot::*pField) const {
    Slots column;
    for (int i = 0; i < kQueueSlots; ++i) {
      column[i] = m_queue.Slot(i).*pField;
    }
    return column;
  }

  TempDir m_dir;
  TrackStore m_store;
  PlayQueue m_queue{m_store};
};

// One slot of a .pla file: the CD and the track text, each padded with zero bytes to four.
std::string Slot(std::string strCD, std::string strTrack) {
  strCD.resize(4, '\0');
  strTrack.resize(4, '\0');
  return strCD + strTrack;
}

const std::string kThreeTracks =
    Slot("12", "3") + Slot("100", "10") + Slot("7", "1") + std::string(56, '\0');

TEST_F(SavedQueueTest, SaveWritesEightyBytesAndLoadAppendsBehindTheSlotsInUse) {
  m_queue.AddToQueue("12", "3", "", "", 0);
  m_queue.AddToQueue("100", "10", "", "", 0);
  m_queue.AddToQueue("7", "1", "", "", 0);
  ASSERT_TRUE(SaveQueue(PathOf("q.pla"), m_queue));
  EXPECT_EQ(m_dir.Read("q.pla"), kThreeTracks);
  LoadQueue(PathOf("q.pla"), m_queue);
  EXPECT_EQ(Column(&QueueSlot::strCD), (Slots{"12", "100", "7", "12", "100", "7"}));
  EXPECT_EQ(m_queue.Slot(4).strTrack, "10");
  EXPECT_EQ(m_queue.Slot(3).strArtist, "Artist");  // from the library, not from the file
}

TEST_F(SavedQueueTest, SaveKeepsTheTailOfALongerFileAndCutsLongTexts) {
  m_dir.Write("q.pla", std::string(80, 'x') + "tail");
  m_queue.AddToQueue("1234", "56789", "", "", 0);
  ASSERT_TRUE(SaveQueue(PathOf("q.pla"), m_queue));
  EXPECT_EQ(m_dir.Read("q.pla"), Slot("123", "567") + std::string(72, '\0') + "tail");
}

TEST_F(SavedQueueTest, LoadIntoAFullQueueChangesNothing) {
  for (int i = 0; i < kQueueSlots; ++i) {
    m_queue.AddToQueue("5", std::to_string(i), "", "", 0);
  }
  const Slots tracks = Column(&QueueSlot::strTrack);
  m_dir.Write("q.pla", kThreeTracks);
  LoadQueue(PathOf("q.pla"), m_queue);
  EXPECT_EQ(Column(&QueueSlot::strTrack), tracks);
}

TEST_F(SavedQueueTest, LoadNormalisesTextsAndSkipsFreeSlots) {
  const std::string bytes = Slot("007", "03")        // leading zeros
                            + Slot("", "9")          // free slot, stray track
                            + Slot(" 12", "4")       // a leading blank counts as empty
                            + Slot("ab", "x")        // non-numeric becomes 0
                            + Slot("8", "")          // no track
                            + Slot("1234", "5678");  // no zero byte: all four characters
  m_dir.Write("q.pla", bytes + std::string(80 - bytes.size(), '\0'));
  LoadQueue(PathOf("q.pla"), m_queue);
  EXPECT_EQ(Column(&QueueSlot::strCD), (Slots{"7", "0", "8", "1234"}));
  EXPECT_EQ(Column(&QueueSlot::strTrack), (Slots{"3", "0", "", "5678"}));
}

TEST_F(SavedQueueTest, AShortFilesCutOffRecordIsAFreeSlot) {
  // One whole record and half of the next.
  m_dir.Write("short.pla", Slot("12", "3") + "9\0\0"s);
  LoadQueue(PathOf("short.pla"), m_queue);
  EXPECT_EQ(Column(&QueueSlot::strCD), (Slots{"12"}));
  EXPECT_EQ(m_queue.Slot(0).strArtist, "Artist");
}

// A FIFO used to hold the window (and the timer) until someone wrote to it.
TEST_F(SavedQueueTest, OnlyRegularFilesAreReadOrWritten) {
  LoadQueue(PathOf("none.pla"), m_queue);
  std::filesystem::create_directory(m_dir.Path() / "folder.pla");
  EXPECT_EQ(LoadQueue(PathOf("folder.pla"), m_queue), "not a regular file");
  EXPECT_FALSE(SaveQueue(PathOf("folder.pla"), m_queue));
#ifndef _WIN32
  MakeFifo(m_dir.Path() / "fifo.pla");
  EXPECT_EQ(LoadQueue(PathOf("fifo.pla"), m_queue), "not a regular file");
  EXPECT_FALSE(SaveQueue(PathOf("fifo.pla"), m_queue));
#endif
  EXPECT_TRUE(m_queue.IsFree(0));
}

}  // namespace
}  // namespace velvane
