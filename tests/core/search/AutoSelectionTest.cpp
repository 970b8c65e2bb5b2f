#include "core/search/AutoSelection.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "core/editors/EditorFixture.h"

namespace velvane {
namespace {

class AutoSelectionTest : public ::testing::Test {
 protected:
  AutoSelectionTest() { m_store.Allocate(500, 500); }

  int Record(const std::string& cd, const std::string& tr, int nLink = -1) {
    return AppendRecord(m_store, {"A" + cd, "T" + tr, cd, tr, nLink});
  }
  void Chart(int nYear, int nLink) {
    AppendChart(m_store, {"01/02/" + std::to_string(nYear), "A", "T", "7", nLink});
  }
  // The tracks proposed, the draws and the status: "1 5 7|10|".
  static std::string Outcome(const SelectionResult& result) {
    std::string strTracks;
    for (const SearchRow& row : result.rows) {
      strTracks += (strTracks.empty() ? "" : " ") + row.strTrack;
    }
    return strTracks + '|' + std::to_string(result.nDraws) + '|' + result.strStatus;
  }

  TrackStore m_store;
};

TEST_F(AutoSelectionTest, YearRangeRunsFromTheStartYearToBeforeTheYearAfterTheEnd) {
  for (int nYear : {1970, 1971, 1971, 1972, 1973}) {
    Chart(nYear, -1);
  }
  const auto range = [this](const char* pszStart, const char* pszEnd) {
    const ChartIndexRange found = FindYearRange(m_store, pszStart, pszEnd);
    return std::pair{found.nFirst, found.nLast};
  };
  EXPECT_EQ(range("1971", "1972"), std::pair(1, 3));
  EXPECT_EQ(range("1971", "2026"), std::pair(1, 4));        // after the last entry: to the end
  EXPECT_EQ(range("1971", "2147483647"), std::pair(1, 4));  // no year after the largest
  EXPECT_EQ(range("1969", ""), std::pair(-1, 4));           // no such start year; empty end year
}

TEST_F(AutoSelectionTest, Top40NeverRepeatsATrackAndEndsAfterCountPlusOneDraws) {
  // Five linked tracks, each charting four times, plus a duplicate record numbered like one.
  std::vector<int> records;
  for (int i = 1; i <= 5; ++i) {
    records.push_back(Record("1", std::to_string(i), i - 1));
  }
  Record("1", "1");  // same CD and track text as the first
  for (int nWeek = 0; nWeek < 4; ++nWeek) {
    for (int r : records) {
      Chart(1980, r);
    }
  }
  Chart(1981, -1);
  Random15 random(7);
  const SelectionResult result = SelectTop40(m_store, "1980", "1980", random);
  std::set<std::string> seen;
  for (const SearchRow& row : result.rows) {
    EXPECT_TRUE(seen.insert(row.strCD + "/" + row.strTrack).second) << "repeated track";
    EXPECT_EQ(row.strChartInfo, "No. 7   on   01 February 1980");
  }
  EXPECT_EQ(result.nDraws, 21);  // the range holds 20 entries
  EXPECT_EQ(result.strStatus, "");

  // A range covering the whole database ends after as many draws as entries, still searching.
  const SelectionResult whole = SelectTop40(m_store, "1980", "1981", random);
  EXPECT_EQ(whole.nDraws, m_store.ChartCount());
  EXPECT_EQ(whole.strStatus, "Searching...");
}

TEST_F(AutoSelectionTest, Top40StopsAtTwentyProposals) {
  for (int i = 0; i < 60; ++i) {
    Chart(1985, Record(std::to_string(i / 10 + 1), std::to_string(i % 10 + 1), i));
  }
  Random15 random(3);
  const SelectionResult result = SelectTop40(m_store, "1985", "1985", random);
  EXPECT_EQ(result.rows.size(), 20u);
  EXPECT_EQ(result.strStatus, "");
}

TEST_F(AutoSelectionTest, OutOfChartTakesOnlyUnlinkedNumberedTracks) {
  Record("", "");       // unnumbered: equals an empty row, never proposed
  Record("2", "1", 0);  // linked: never proposed
  for (int i = 1; i <= 30; ++i) {
    Record("3", std::to_string(i));
  }
  Random15 random(11);
  const SelectionResult result = SelectOutOfChart(m_store, random);
  EXPECT_FALSE(result.rows.empty());
  for (const SearchRow& row : result.rows) {
    EXPECT_EQ(row.strCD, "3");
  }
}

TEST_F(AutoSelectionTest, Top40WithoutAnEntryInTheStartYearDrawsFromTheDatabaseStart) {
  // Tracks 1-3 charted in 1980, 4-8 in 1982, 9-10 in 1983; nothing in 1981.
  for (int i = 1; i <= 10; ++i) {
    Chart(i <= 3 ? 1980 : (i <= 8 ? 1982 : 1983), Record("1", std::to_string(i)));
  }
  // The range runs from "index -1" to the last 1982 entry: nine places, and a draw between
  // -1 and 0 truncates to the first entry.
  Random15 random(1);
  EXPECT_EQ(Outcome(SelectTop40(m_store, "1981", "1982", random)), "1 5 7 4 3 8 6|10|");
}

TEST_F(AutoSelectionTest, OutOfChartStopsAfterAThousandMissesInARow) {
  m_store.Allocate(3000, 1);
  m_store.SetChartEntry(0, ChartEntry{"01/02/1980", "A", "T", "1", -1}, 0);
  m_store.SetChartCount(1);
  for (int i = 0; i < 3000; ++i) {
    m_store.SetPlaylistEntry(i, PlaylistEntry{"A", "T", "2", std::to_string(i), i == 5 ? -1 : 0},
                             1);
  }
  m_store.SetPlaylistCount(3000);

  // The one unlinked track comes on the 939th draw; a thousand misses after it end the search.
  Random15 random(1);
  EXPECT_EQ(Outcome(SelectOutOfChart(m_store, random)), "5|1939|");
  Random15 unlucky(3);  // nothing taken at all: 1001 misses from the start
  EXPECT_EQ(Outcome(SelectOutOfChart(m_store, unlucky)), "|1001|");
}

TEST(YearChoices, StartAtTheFirstChartYear) {
  EXPECT_EQ(SelectableYears(2026).front(), "1952");
}

}  // namespace
}  // namespace velvane
