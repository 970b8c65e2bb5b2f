#include "core/playback/SavedQueue.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "support/FileFaults.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

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
