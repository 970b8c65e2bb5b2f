#include "core/db/SavedQueue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/db/Paths.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

using namespace std::string_literals;

class SavedQueueTest : public ::testing::Test {
 protected:
  SavedQueueTest() {
    m_store.Allocate(10, 10);
    m_store.SetPlaylistEntry(0, "Artist", "Title", "12", "3", -1);
    m_store.SetPlaylistCount(1);
  }

  std::string PathOf(const std::string& strName) const { return (m_dir.Path() / strName).string(); }

  TempDir m_dir;
  TrackStore m_store;
  PlayQueue m_queue{m_store};
};

const std::string kThreeTracks =
    "12\0\0"s
    "3\0\0\0"s
    "100\0"s
    "10\0\0"s
    "7\0\0\0"s
    "1\0\0\0"s +
    std::string(56, '\0');

TEST_F(SavedQueueTest, SaveWritesEightyBytes) {
  m_queue.AddToQueue("12", "3", "", "", 0);
  m_queue.AddToQueue("100", "10", "", "", 0);
  m_queue.AddToQueue("7", "1", "", "", 0);
  ASSERT_TRUE(SaveQueue(PathOf("q.pla"), m_queue));
  EXPECT_EQ(m_dir.Read("q.pla"), kThreeTracks);
}

TEST_F(SavedQueueTest, SaveKeepsTheTailOfALongerFileAndCutsLongTexts) {
  m_dir.Write("q.pla", std::string(80, 'x') + "tail");
  m_queue.AddToQueue("1234", "56789", "", "", 0);
  ASSERT_TRUE(SaveQueue(PathOf("q.pla"), m_queue));
  EXPECT_EQ(m_dir.Read("q.pla"),
            "123\0"s
            "567\0"s +
                std::string(72, '\0') + "tail");
}

TEST_F(SavedQueueTest, LoadAppendsBehindTheSlotsInUse) {
  m_dir.Write("q.pla", kThreeTracks);
  LoadQueue(PathOf("q.pla"), m_queue);
  LoadQueue(PathOf("q.pla"), m_queue);
  const char* expectedCD[] = {"12", "100", "7", "12", "100", "7"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(m_queue.m_strQueueCD[i], expectedCD[i]) << i;
  }
  EXPECT_TRUE(m_queue.IsFree(6));
  EXPECT_EQ(m_queue.m_strQueueTrack[4], "10");
  // Artist and title come from the library, not from the file.
  EXPECT_EQ(m_queue.m_strQueueArtist[3], "Artist");
  EXPECT_EQ(m_queue.m_nQueueChartLink[3], -1);
  EXPECT_EQ(m_queue.m_strQueueArtist[4], "");
}

TEST_F(SavedQueueTest, LoadIntoAFullQueueChangesNothing) {
  for (int i = 0; i < kQueueSlots; ++i) {
    m_queue.AddToQueue("5", std::to_string(i), "", "", 0);
  }
  m_dir.Write("q.pla", kThreeTracks);
  LoadQueue(PathOf("q.pla"), m_queue);
  for (int i = 0; i < kQueueSlots; ++i) {
    EXPECT_EQ(m_queue.m_strQueueCD[i], "5") << i;
    EXPECT_EQ(m_queue.m_strQueueTrack[i], std::to_string(i)) << i;
  }
}

TEST_F(SavedQueueTest, LoadNormalisesTextsAndSkipsFreeSlots) {
  std::string bytes =
      "007\0"s
      "03\0\0"s  // leading zeros
      "\0\0\0\0"s
      "9\0\0\0"s  // free slot, stray track
      " 12\0"s
      "4\0\0\0"s  // a leading blank counts as empty
      "ab\0\0"s
      "x\0\0\0"s  // non-numeric becomes 0
      "8\0\0\0"s
      "\0\0\0\0"s  // no track
      "1234"s
      "5678"s;  // no zero byte: all four characters
  bytes += std::string(80 - bytes.size(), '\0');
  m_dir.Write("q.pla", bytes);
  LoadQueue(PathOf("q.pla"), m_queue);
  EXPECT_EQ(m_queue.m_strQueueCD[0], "7");
  EXPECT_EQ(m_queue.m_strQueueTrack[0], "3");
  EXPECT_EQ(m_queue.m_strQueueCD[1], "0");
  EXPECT_EQ(m_queue.m_strQueueTrack[1], "0");
  EXPECT_EQ(m_queue.m_strQueueCD[2], "8");
  EXPECT_EQ(m_queue.m_strQueueTrack[2], "");
  EXPECT_EQ(m_queue.m_strQueueCD[3], "1234");
  EXPECT_EQ(m_queue.m_strQueueTrack[3], "5678");
  EXPECT_TRUE(m_queue.IsFree(4));
}

TEST_F(SavedQueueTest, ShortOrMissingFiles) {
  LoadQueue(PathOf("none.pla"), m_queue);
  EXPECT_TRUE(m_queue.IsFree(0));

  // One whole record and half of the next: the cut-off record is a free slot.
  m_dir.Write("short.pla",
              "12\0\0"s
              "3\0\0\0"s
              "9\0\0"s);
  LoadQueue(PathOf("short.pla"), m_queue);
  EXPECT_EQ(m_queue.m_strQueueCD[0], "12");
  EXPECT_EQ(m_queue.m_strQueueArtist[0], "Artist");
  EXPECT_TRUE(m_queue.IsFree(1));
}

TEST_F(SavedQueueTest, FolderIsCreatedUnderTheFilesFolder) {
  const std::string strFolder = SavedQueueFolder(m_dir.Folder());
  EXPECT_EQ(strFolder, m_dir.Folder() + "playlist" + kPathSeparator);
  EXPECT_TRUE(std::filesystem::is_directory(strFolder));
  EXPECT_EQ(SavedQueueFolder(m_dir.Folder()), strFolder);  // already there: no harm
}

}  // namespace
}  // namespace velvane
