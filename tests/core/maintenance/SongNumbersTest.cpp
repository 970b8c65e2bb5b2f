#include "core/maintenance/SongNumbers.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>

#include "core/search/TextMatch.h"

namespace velvane {
namespace {

// Enough songs that the song table grows several times, with case variants,
// trailing blanks and both encodings of one name among them.
std::string Name(std::mt19937& random) {
  static const char* const kVariants[] = {"Bj\xF6rk", "Bj\xC3\xB6rk", "BJ\xC3\xB6RK", "Abba ",
                                          "abba"};
  const unsigned n = random() % 3000;
  std::string strName = n % 7 == 0 ? kVariants[n % 5] : "Name " + std::to_string(n);
  if (random() % 4 == 0) {
    strName = UpperCaseForMatch(strName);
  }
  return strName;
}

TEST(SongNumbers, EqualNumbersExactlyForTheSameSongAcrossBothDatabases) {
  std::mt19937 random(77);
  TrackStore store;
  store.Allocate(12000, 15000);
  store.SetPlaylistCount(12000);
  store.SetChartCount(15000);
  for (int p = 0; p < 12000; ++p) {
    store.SetPlaylistEntry(p, Name(random), Name(random), "1", "1", -1);
  }
  for (int c = 0; c < 15000; ++c) {
    store.SetChartEntry(c, "01/01/1990", Name(random), Name(random), "1", -1);
  }
  const SongNumbers numbers(store, SongSides::ChartAndLibrary, [] {});
  std::map<std::pair<std::string, std::string>, std::uint32_t> numberOfSong;
  std::map<std::uint32_t, std::pair<std::string, std::string>> songOfNumber;
  const auto check = [&](std::string_view strArtist, std::string_view strTitle,
                         std::uint32_t nNumber) {
    const auto song = std::make_pair(SameTextKey(strArtist), SameTextKey(strTitle));
    ASSERT_LT(nNumber, numbers.Count());
    ASSERT_EQ(numberOfSong.emplace(song, nNumber).first->second, nNumber) << strArtist;
    ASSERT_EQ(songOfNumber.emplace(nNumber, song).first->second, song) << strArtist;
  };
  for (int c = 0; c < store.ChartCount(); ++c) {
    check(store.Chart(c).strArtist, store.Chart(c).strTitle, numbers.OfEntry(c));
  }
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    check(store.Playlist(p).strArtist, store.Playlist(p).strTitle, numbers.OfRecord(p));
  }
  EXPECT_EQ(numberOfSong.size(), numbers.Count());
}

TEST(SongNumbers, VeryLongTextsEmptyTextsAndTheSplitBetweenArtistAndTitle) {
  const std::string strLong(40000, 'a');  // far longer than any field a file holds
  TrackStore store;
  store.Allocate(4, 4);
  store.SetPlaylistCount(4);
  store.SetChartCount(4);
  store.SetPlaylistEntry(0, strLong, "x", "1", "1", -1);
  store.SetPlaylistEntry(1, strLong + "a", "x", "1", "1", -1);
  store.SetPlaylistEntry(2, "", "", "1", "1", -1);
  store.SetPlaylistEntry(3, "ab", "c", "1", "1", -1);
  store.SetChartEntry(0, "01/01/1990", UpperCaseForMatch(strLong), "X", "1", -1);
  store.SetChartEntry(1, "01/01/1990", "", "", "1", -1);
  store.SetChartEntry(2, "01/01/1990", "a", "bc", "1", -1);
  store.SetChartEntry(3, "01/01/1990", strLong + "a", "X", "1", -1);
  const SongNumbers numbers(store, SongSides::ChartAndLibrary, [] {});
  EXPECT_EQ(numbers.OfRecord(0), numbers.OfEntry(0));
  EXPECT_EQ(numbers.OfRecord(1), numbers.OfEntry(3));
  EXPECT_EQ(numbers.OfRecord(2), numbers.OfEntry(1));
  EXPECT_NE(numbers.OfRecord(3), numbers.OfEntry(2));
  EXPECT_EQ(numbers.Count(), 5U);
}

}  // namespace
}  // namespace velvane
