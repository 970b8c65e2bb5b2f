#include "core/search/ManualSearch.h"

#include <gtest/gtest.h>

#include "core/editors/EditorFixture.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

class ManualSearchTest : public ::testing::Test {
 protected:
  ManualSearchTest() { m_store.Allocate(2000, 2000); }

  void Record(PlaylistEntry record) { AppendRecord(m_store, std::move(record)); }
  void Chart(ChartEntry entry) { AppendChart(m_store, std::move(entry)); }

  TrackStore m_store;
};

TEST_F(ManualSearchTest, ChartEntriesComeOncePerDateThenUnlinkedLibraryTracks) {
  Record({"ABBA", "Waterloo", "12", "3", 0});
  Record({"ABBA", "SOS", "12", "4", -1});
  Record({"Abba tribute", "Mix", "0", "1", -1});
  Chart({"06/04/1974", "Abba", "Waterloo", "1", 0});
  Chart({"13/04/1974", "Abba", "Waterloo", "2", 0});
  Chart({"01/01/1980", "ABBA", "Unheard", "30", -1});

  const ManualSearchResult result = ManualSearch(m_store, "abba", "");
  ASSERT_EQ(result.rows.size(), 5u);
  EXPECT_EQ(FormatSearchLine(result.rows[0]), "ABBA\tWaterloo\t12\t3\tNo. 1   on   06 April 1974");
  EXPECT_EQ(result.rows[1].strChartInfo, "No. 2   on   13 April 1974");
  EXPECT_EQ(FormatSearchLine(result.rows[2]), "ABBA\tUnheard\t\t\tNo. 30   on   01 January 1980");
  EXPECT_EQ(result.rows[3].strTitle, "SOS");  // the library pass skips Waterloo (linked)
  EXPECT_EQ(result.rows[4].strCD, "0");       // kept as stored in the library pass
  EXPECT_EQ(result.strStatus, " 5 tracks found for   abba - ");
}

TEST_F(ManualSearchTest, LinkedRecordWithCdZeroIsShownWithoutCdAndAnEmptySearchSearchesNot) {
  Record({"Solo", "Song", "0", "0", 0});
  Chart({"01/01/1980", "Solo", "Song", "5", 0});
  const ManualSearchResult result = ManualSearch(m_store, "", "song");
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(FormatSearchLine(result.rows[0]), "Solo\tSong\t\t\tNo. 5   on   01 January 1980");
  EXPECT_FALSE(ManualSearch(m_store, "", "").bSearched);  // the previous results stay
}

TEST_F(ManualSearchTest, TheThousandAndFirstRowEndsTheSearch) {
  for (int i = 0; i < 1001; ++i) {
    Chart({"01/01/1980", "Same", std::string("T").append(std::to_string(i)), "1", -1});
  }
  Record({"Same", "Never reached", "1", "1", -1});
  const ManualSearchResult result = ManualSearch(m_store, "same", "");
  EXPECT_EQ(result.rows.size(), 1001u);
  EXPECT_EQ(result.strStatus, " Over 1000 tracks found for   same - ");

  m_store.SetChartCount(1000);  // exactly 1000 charts, then the library pass reaches 1001
  EXPECT_EQ(ManualSearch(m_store, "same", "").strStatus, " Over 1000 tracks found for   same - ");
  m_store.SetChartCount(999);
  EXPECT_EQ(ManualSearch(m_store, "same", "").strStatus, " 1000 tracks found for   same - ");
}

// The CD / track numbers of every track added, "12/4".
class RecordingQueue : public QueueInput {
 public:
  void AddToQueue(std::string strCD, std::string strTrack, std::string, std::string, int) override {
    m_added.push_back(strCD + "/" + strTrack);
  }
  std::vector<std::string> m_added;
};

TEST_F(ManualSearchTest, AddToListQueuesLibraryTracksAndWishesForTheRest) {
  TempDir dir;
  RecordingQueue queue;
  // The status shows both fields readable, each in the encoding it was stored in.
  EXPECT_EQ(AddRowToList({"12", "4", "Mot\xF6rhead", "\xC3\x84rger", -1, ""}, queue, dir.Folder()),
            " Mot\xC3\xB6rhead - \xC3\x84rger   (added to playlist)");
  EXPECT_EQ(AddRowToList({"", "", "Nobody", "Nothing", -1, ""}, queue, dir.Folder()),
            " Nobody - Nothing   (added to wish list)");
  EXPECT_EQ(dir.Read("wishlist.txt"), "Nobody - Nothing (Requested Track)\r\n");
  EXPECT_EQ(queue.m_added, std::vector<std::string>{"12/4"});
}

}  // namespace
}  // namespace velvane
