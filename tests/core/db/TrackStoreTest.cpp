#include "core/db/TrackStore.h"

#include <gtest/gtest.h>

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
  store.SetPlaylistEntry(0, "A", "T", "1", "1", 3);
  EXPECT_EQ(store.Playlist(0).nChartLink, -1);
  store.SetPlaylistEntry(0, "A", "T", "1", "1", 2);
  EXPECT_EQ(store.Playlist(0).nChartLink, 2);
  store.SetPlaylistEntry(0, "A", "T", "1", "1", -7);
  EXPECT_EQ(store.Playlist(0).nChartLink, -1);
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

  std::string artist, title;
  int link = 0;
  EXPECT_TRUE(store.FindPlaylistEntry("007", "03", artist, title, link));
  EXPECT_EQ(artist, "First");
  EXPECT_EQ(link, 2);
  EXPECT_TRUE(store.FindPlaylistEntry("0", "0", artist, title, link));
  EXPECT_EQ(artist, "Zero");
  EXPECT_FALSE(store.FindPlaylistEntry("8", "1", artist, title, link));
  EXPECT_EQ(artist, "");
  EXPECT_EQ(link, -1);
}

}  // namespace
}  // namespace velvane
