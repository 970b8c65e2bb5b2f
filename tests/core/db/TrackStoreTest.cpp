#include "core/db/TrackStore.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace velvane {
namespace {

TEST(TrackStore, SettersCheckCapacityGettersCheckCount) {
  TrackStore store;
  store.Allocate(3, 2);
  store.SetPlaylistEntry(2, "A", "T", "1", "2", -1);  // beyond the count, within capacity
  store.SetPlaylistEntry(3, "X", "X", "9", "9", -1);  // at capacity: ignored

  std::string artist, title, cd, track;
  int link = 99;
  EXPECT_FALSE(store.GetPlaylistEntry(2, artist, title, cd, track, link));
  EXPECT_EQ(link, -1);
  store.SetPlaylistCount(3);
  EXPECT_TRUE(store.GetPlaylistEntry(2, artist, title, cd, track, link));
  EXPECT_EQ(cd, "1");
}

TEST(TrackStore, LinksOutsideTheOtherCountBecomeMinusOne) {
  TrackStore store;
  store.Allocate(10, 10);
  store.SetChartCount(3);
  store.SetPlaylistCount(2);
  for (const auto& [nLink, nKept] : {std::pair{3, -1}, {2, 2}, {-7, -1}}) {
    store.SetPlaylistEntry(0, "A", "T", "1", "1", nLink);
    EXPECT_EQ(store.Playlist(0).nChartLink, nKept) << nLink;
  }
  store.SetChartEntry(1, "01/01/1980", "A", "T", "1", 2);  // playlist count is 2
  EXPECT_EQ(store.Chart(1).nPlaylistLink, -1);

  store.SetPlaylistReference(2, 1);
  EXPECT_EQ(store.Playlist(1).nChartLink, 2);
  store.SetPlaylistReference(3, 1);
  EXPECT_EQ(store.Playlist(1).nChartLink, -1);
  store.SetPlaylistReference(1, 2);  // index at the count: nothing happens
  store.SetPlaylistCount(3);
  EXPECT_EQ(store.Playlist(2).nChartLink, -1);
  store.SetChartReference(1, 2);
  EXPECT_EQ(store.Chart(2).nPlaylistLink, 1);
}

TEST(TrackStore, FindComparesNumbersAndTakesTheFirstMatch) {
  TrackStore store;
  store.Allocate(4, 4);
  store.SetChartCount(4);
  store.SetPlaylistEntry(0, "Zero", "Z", "x", "", 1);  // non-numeric: CD 0 track 0
  store.SetPlaylistEntry(1, "First", "F", "7", "3", 2);
  store.SetPlaylistEntry(2, "Second", "S", "7", "3", 3);
  store.SetPlaylistCount(3);

  const auto find = [&store](const char* pszCD, const char* pszTrack) {
    std::string artist = "stale", title = "stale";  // a miss must clear them
    int link = 0;
    const bool bFound = store.FindPlaylistEntry(pszCD, pszTrack, artist, title, link);
    return std::to_string(bFound) + "|" + artist + "|" + title + "|" + std::to_string(link);
  };
  EXPECT_EQ(find("007", "03"), "1|First|F|2");
  EXPECT_EQ(find("0", "0"), "1|Zero|Z|1");
  EXPECT_EQ(find("8", "1"), "0|||-1");
}

}  // namespace
}  // namespace velvane
