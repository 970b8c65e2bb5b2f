#include "core/maintenance/Relationships.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/editors/EditorFixture.h"
#include "core/maintenance/SongNumbers.h"
#include "core/search/TextMatch.h"
#include "core/text/Text.h"
#include "support/Fakes.h"
#include "support/LiteralRelationships.h"
#include "support/Rows.h"

namespace velvane {
namespace {

TEST(BuildAllRelationships, EmptyLibraryClearsEveryChartLinkAndShowsNoProgress) {
  TrackStore store;
  store.Allocate(10, 10);
  AppendChart(store, {"01/01/1974", "A", "T", "1", 0});  // a link left from an earlier library
  AppendChart(store, {"01/01/1974", "B", "U", "2", -1});
  int nCalls = 0;
  BuildAllRelationships(store, [&](const std::string&) { ++nCalls; });
  EXPECT_EQ(PlaylistLinks(store), (std::vector<int>{-1, -1}));
  EXPECT_EQ(nCalls, 0);
}

TEST(BuildRelationships, ProgressOnlyWhenTheWholePercentageChanges) {
  TrackStore store;
  store.Allocate(300, 10);
  for (int p = 0; p < 300; ++p) {
    store.SetPlaylistEntry(p, "A", "T", "1", "1", -1);
  }
  store.SetPlaylistCount(300);
  std::vector<std::string> captions;
  BuildPlaylistReferences(store, [&](const std::string& s) { captions.push_back(s); });
  ASSERT_EQ(captions.size(), 100U);
  EXPECT_EQ(captions.front(), "Building (0 percent)");
  EXPECT_EQ(captions.back(), "Building (99 percent)");
}

// Small alphabets so that duplicates, case variants and trailing blanks are frequent.
std::string RandomText(std::mt19937& random) {
  static const std::vector<std::string> texts = {
      "Abba",     "ABBA",         "abba",         "Abba ", "Queen", "queen",
      "Bj\xF6rk", "Bj\xC3\xB6rk", "BJ\xC3\xB6RK", "",      " "};
  return texts[random() % texts.size()];
}

std::string RandomPosition(std::mt19937& random) {
  static const std::vector<std::string> positions = {"1",    "2",   "5", "40", "999", "1000",
                                                     "1200", "new", "",  "-3", " 7x"};
  return positions[random() % positions.size()];
}

TrackStore RandomStore(std::mt19937& random) {
  TrackStore store;
  const int nRecords = static_cast<int>(random() % 40);
  const int nEntries = static_cast<int>(random() % 60);
  store.Allocate(nRecords, nEntries);
  store.SetPlaylistCount(nRecords);
  store.SetChartCount(nEntries);
  for (int p = 0; p < nRecords; ++p) {
    const int nLink = static_cast<int>(random() % (nEntries + 2)) - 1;
    store.SetPlaylistEntry(p, RandomText(random), RandomText(random), "1", "1", nLink);
  }
  for (int c = 0; c < nEntries; ++c) {
    const int nLink = static_cast<int>(random() % (nRecords + 2)) - 1;
    store.SetChartEntry(c, "01/01/1990", RandomText(random), RandomText(random),
                        RandomPosition(random), nLink);
  }
  return store;
}

TEST(BuildRelationships, SameLinksAsTheNestedLoopsOnRandomDatabases) {
  // VELVANE_TEST_SEED repeats a failed run.
  const char* pszSeed = std::getenv("VELVANE_TEST_SEED");
  const unsigned nSeed = pszSeed != nullptr ? static_cast<unsigned>(std::atol(pszSeed)) : 1206U;
  std::mt19937 random(nSeed);
  FakePrompter prompter;  // silent matching never asks
  for (int nRound = 0; nRound < 400; ++nRound) {
    SCOPED_TRACE("seed " + std::to_string(nSeed) + " round " + std::to_string(nRound));
    const TrackStore original = RandomStore(random);
    TrackStore fast = original;
    TrackStore literal = original;
    BuildAllRelationships(fast, {});
    LiteralBuildAll(literal, prompter);
    ASSERT_EQ(ChartLinks(fast), ChartLinks(literal));
    ASSERT_EQ(PlaylistLinks(fast), PlaylistLinks(literal));
    fast = original;
    literal = original;
    BuildPlaylistReferences(fast, {});
    LiteralBuildReferences(literal, prompter);
    ASSERT_EQ(PlaylistLinks(fast), PlaylistLinks(literal));
    ASSERT_EQ(ChartLinks(fast), ChartLinks(original));
  }
}

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
