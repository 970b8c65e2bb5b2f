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

}  // namespace
}  // namespace velvane
