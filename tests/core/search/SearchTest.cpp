#include "core/search/AutoSelection.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "core/db/NumberOneFile.h"
#include "core/search/ManualSearch.h"
#include "core/search/NumberOne.h"
#include "core/search/TextMatch.h"
#include "core/text/DisplayFormat.h"
#include "core/text/Text.h"
#include "support/Fakes.h"
#include "support/Records.h"
#include "support/TempDir.h"

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

TEST(NumberOne, TypedDatesInTheirForms) {
  const TypedDate slashes = ReadTypedDate("1/2/83");
  EXPECT_TRUE(slashes.bValid);
  EXPECT_EQ(slashes.strLong, "01 February 1983");
  EXPECT_EQ(ReadTypedDate("01-02-1983").nDayNumber, slashes.nDayNumber);
  EXPECT_EQ(ReadTypedDate("1 2 1983").nDayNumber, slashes.nDayNumber);
  EXPECT_EQ(ReadTypedDate("31/12/33").strLong, "31 December 2033");
  EXPECT_EQ(ReadTypedDate("1/1/1933").strLong, "01 January 2033");
  EXPECT_EQ(ReadTypedDate("1/1/1934").strLong, "01 January 1934");
  EXPECT_FALSE(ReadTypedDate("32/1/1990").bValid);
  EXPECT_FALSE(ReadTypedDate("1/13/1990").bValid);
  EXPECT_FALSE(ReadTypedDate("1/1").bValid);  // too short to read
  // Day numbers only compare: the last of one month is the first of the next.
  EXPECT_EQ(DayNumber(1, 1, 1950), 0);
  EXPECT_EQ(DayNumber(31, 1, 1983), DayNumber(1, 2, 1983));
  EXPECT_EQ(DayNumber(31, 12, 1984), DayNumber(1, 1, 1985));
  EXPECT_LT(DayNumber(1, 2, 1983), DayNumber(2, 2, 1983));
  // Years from a damaged file stay ordered at the ends of the range instead of wrapping.
  EXPECT_EQ(DayNumber(1, 1, 2147483647), 2147483646);
  EXPECT_EQ(DayNumber(1, 1, -2147483647 - 1), -2147483647 - 1);
}

class NumberOneFileTest : public ::testing::Test {
 protected:
  NumberOneFileTest() {
    m_dir.Write("hits.dat",
                "05/03/1983\\First\\One\\12\\3\\\r\n"
                "\r\n"
                "01/02/1984\\Second\\Two\\0\\0\\\r\n"
                "10/02/1984\\Third\\Three\\ \\ \\\r\n");
  }
  TempDir m_dir;
};

TEST_F(NumberOneFileTest, EntryHoldsUntilTheNextDateAndNothingIsFoundBeforeTheFirst) {
  NumberOneAnswer answer = SearchNumberOne(m_dir.Folder(), "5/3/83");
  EXPECT_EQ(answer.strResult, "\nNumber 1 in the charts on 05 March 1983 was\n\nFirst - One");
  EXPECT_TRUE(answer.bCanQueue);

  const std::string strFolder = m_dir.Folder();
  EXPECT_EQ(SearchNumberOne(strFolder, "31/1/1984").entry.strArtist, "Second");  // same day no.
  EXPECT_EQ(SearchNumberOne(strFolder, "30/1/1984").entry.strArtist, "First");
  EXPECT_FALSE(SearchNumberOne(strFolder, "02/02/1984").bCanQueue);  // CD "0": not in the library
  answer = SearchNumberOne(strFolder, "1/1/2020");
  EXPECT_EQ(answer.entry.strArtist, "Third");
  EXPECT_FALSE(answer.bCanQueue);  // CD " "
  // Before the first entry, an invalid date or a missing file find nothing.
  EXPECT_FALSE(SearchNumberOne(strFolder, "4/3/83").bFound);
  EXPECT_FALSE(SearchNumberOne(strFolder, "32/1/1990").bFound);
  EXPECT_FALSE(SearchNumberOne(strFolder + "nope/", "5/3/83").bFound);
}

TEST_F(NumberOneFileTest, StoredDatesAreReadLikeTypedOnes) {
  // Day 00 is no date: its day number is 0, so the line counts as on or before any date
  // instead of as about 31 May 1980.
  m_dir.Write("hits.dat",
              "00/06/1980\\Nobody\\Never\\0\\0\\\r\n"
              "01/07/1980\\July\\Song\\1\\1\\\r\n");
  const NumberOneAnswer answer = SearchNumberOne(m_dir.Folder(), "1/1/1960");
  EXPECT_TRUE(answer.bFound);
  EXPECT_EQ(answer.entry.strArtist, "Nobody");
  EXPECT_EQ(SearchNumberOne(m_dir.Folder(), "1/7/1980").entry.strArtist, "July");
}

TEST_F(NumberOneFileTest, TheAnswerOnScreenConvertsEachStoredField) {
  m_dir.Write("hits.dat", "01/01/1990\\Mot\xF6rhead\\\xC3\x84rger\\0\\0\\\r\n");
  const NumberOneAnswer answer = SearchNumberOne(m_dir.Folder(), "2/1/1990");
  EXPECT_EQ(answer.strResult,
            "\nNumber 1 in the charts on 02 January 1990 was\n\nMot\xF6rhead - \xC3\x84rger");
  EXPECT_EQ(answer.strShown,
            "\nNumber 1 in the charts on 02 January 1990 was\n\nMot\xC3\xB6rhead - \xC3\x84rger");
}

TEST(NumberOneFile, ReadsSkippingBlankLinesAndToleratingShortOnes) {
  TempDir dir;
  EXPECT_TRUE(ReadNumberOnes(dir.Folder()).empty());  // no file yet
  dir.Write("hits.dat",
            "05/03/1983\\A\\T\\12\\3\\\r\n\r\n12/03/1983\\B\\U\\ \\ \\\r\n19/03/1983\\C\n");
  EXPECT_EQ(Rows(ReadNumberOnes(dir.Folder())),
            (Strings{"05/03/1983|A|T|12|3", "12/03/1983|B|U| | ", "19/03/1983|C|||"}));
  EXPECT_EQ(NumberOneEndMarker().strDate, "31/12/3000");

  dir.Write("hits.dat",
            "05/03/1983\\A\\T\\12\\3\\\r12/03/1983\\B\\U\\ \\ \\\r");  // old CR-only lines
  EXPECT_EQ(ReadNumberOnes(dir.Folder()).size(), 2u);
  std::string strUnreadable;
  std::filesystem::remove(dir.Path() / "hits.dat");
  std::filesystem::create_directory(dir.Path() / "hits.dat");
  EXPECT_TRUE(ReadNumberOnes(dir.Folder(), &strUnreadable).empty());
  EXPECT_EQ(strUnreadable, "not a regular file");  // a writer must not save over it
}

TEST(NumberOneFile, SaveRotatesAndReportsItsOwnText) {
  TempDir dir;
  FakeClock clock(2010, 3, 7, 9, 5);
  FakePrompter prompter;
  dir.Write("hits.dat", "05/03/1983\\A\\T\\12\\3\\\r\n");
  const SaveReporting reporting{dir.Folder(), clock, prompter, "Title"};

  ASSERT_TRUE(SaveNumberOnes(reporting, {{"05/03/1983", "A", "T", "", ""}}, "unused"));
  EXPECT_EQ(dir.Read("hits.dat"), "05/03/1983\\A\\T\\ \\ \\\r\n");
  EXPECT_EQ(dir.Read("hits.old"), "05/03/1983\\A\\T\\12\\3\\\r\n");
  EXPECT_FALSE(dir.Exists("hits.tmp"));

  std::filesystem::create_directory(dir.Path() / "hits.tmp");
  EXPECT_FALSE(SaveNumberOnes(reporting, {}, "Failed to create a new number one file"));
  EXPECT_EQ(dir.Read("hits.dat"), "05/03/1983\\A\\T\\ \\ \\\r\n");
  EXPECT_EQ(dir.Read("errorlog.txt"),
            "07/03/2010 09:05   Failed to create a new number one file\r\n");
}

TEST(MatchText, SubstringsHashForWholeArtistEmptyTextsAndAccentedLettersInBothEncodings) {
  EXPECT_EQ(MatchText("beat", "The Beatles", "", "Help"), 2);
  EXPECT_EQ(MatchText("#beatles", "The Beatles", "", ""), 1);
  EXPECT_EQ(MatchText("#the beatles", "The Beatles", "", ""), 2);
  EXPECT_EQ(MatchText("#ABBA", "Abba Gold", "", ""), 1);
  EXPECT_EQ(MatchText("#", "", "", ""), 2);
  EXPECT_EQ(MatchText("#", "x", "", ""), 1);
  EXPECT_EQ(MatchText("", "", "", ""), 2);
  // "#" is an ordinary character in the title.
  EXPECT_EQ(MatchText("", "", "#b", "abc"), 1);
  // Case folding covers accented letters in both encodings.
  EXPECT_EQ(MatchText("mot\xC3\xB6r", "MOT\xC3\x96RHEAD", "", ""), 2);  // UTF-8 ö / Ö
  EXPECT_EQ(MatchText("mot\xF6r", "MOT\xD6RHEAD", "", ""), 2);          // Windows-1252
  EXPECT_EQ(MatchText("bj\xC3\xB6rk", "Bj\xF6rk", "", ""), 2);          // typed UTF-8, stored 1252
  // Folding must not turn one UTF-8 letter into another: "÷" (C3 B7) stays.
  EXPECT_EQ(UpperCaseForMatch("\xC3\xB7\xC3\xA9"), "\xC3\xB7\xC3\x89");
}

TEST(Similarity, LetterPairScoresTheirAsymmetryAndCharactersNotBytes) {
  EXPECT_EQ(Similarity("ABBA GOLD", "ABBA"), 37);  // pairs of the shorter text, over the longer
  EXPECT_EQ(Similarity("ABCD", "abcd"), 100);
  EXPECT_EQ(Similarity("ABCD", "ABXD"), 33);
  EXPECT_EQ(Similarity("AAAB", "AABB"), 100);
  EXPECT_EQ(Similarity("AABB", "AAAB"), 66);
  EXPECT_EQ(Similarity("", ""), 0);
  EXPECT_EQ(Similarity("A", "A"), 0);
  EXPECT_EQ(Similarity("Abba", "Abba "), 75);
  // Characters count, not bytes: "É" stored as Windows-1252 or as UTF-8 is one letter.
  EXPECT_EQ(Similarity("AB\xC9", "ABE"), 50);
  EXPECT_EQ(Similarity("AB\xC3\x89", "ABE"), 50);
  EXPECT_EQ(Similarity("Beyonc\xE9", "Beyonc\xC3\xA9"), 100);
  EXPECT_EQ(Similarity("\xC3\xA9\xC3\xA9", "\xC3\xA9"), 0);  // one letter has no pair
}

TEST(ConfirmMatch, AsksOnlyForCloseInexactPairsWhenNotSilent) {
  FakePrompter prompter;
  EXPECT_TRUE(ConfirmMatch(prompter, "T", "ABBA", "abba", "Waterloo", "WATERLOO", false));
  EXPECT_FALSE(ConfirmMatch(prompter, "T", "Abba", "Abba ", "Waterloo", "Waterloo", true));
  EXPECT_TRUE(prompter.m_shown.empty());

  prompter.m_answers = {PromptAnswer::No, PromptAnswer::Yes};
  EXPECT_FALSE(ConfirmMatch(prompter, "T", "Abba", "Abba ", "Waterloo", "Waterloo", false));
  ASSERT_EQ(prompter.m_shown.size(), 1u);
  EXPECT_EQ(prompter.m_shown[0].strText,
            "Playlist: Abba - Waterloo\nCharts:  Abba  - Waterloo\n\nIs this a match?");
  EXPECT_EQ(prompter.m_shown[0].buttons, PromptButtons::YesNo);
  EXPECT_TRUE(ConfirmMatch(prompter, "T", "ABC", "ABD", "Waterloo", "Waterloo", false));  // 50

  // One score under 50: no question.
  EXPECT_FALSE(ConfirmMatch(prompter, "T", "Abba", "Abba ", "Waterloo", "SOS", false));
  EXPECT_EQ(prompter.m_shown.size(), 2u);
  // Accented letters fold only for matching, not for the equality that skips the question.
  EXPECT_FALSE(ConfirmMatch(prompter, "T", "\xE9", "\xC9", "x", "x", true));
}

TEST(ConfirmMatch, AskMatchOffersCancelAndAsksOnlyWhatConfirmMatchWouldAsk) {
  FakePrompter prompter;
  EXPECT_EQ(AskMatch(prompter, "T", "ABBA", "abba", "SOS", "sos"), MatchAnswer::Yes);
  EXPECT_EQ(AskMatch(prompter, "T", "Abba", "Queen", "SOS", "SOS"), MatchAnswer::No);
  EXPECT_TRUE(prompter.m_shown.empty());
  prompter.m_answers = {PromptAnswer::Cancel, PromptAnswer::No, PromptAnswer::Yes};
  for (const MatchAnswer expected : {MatchAnswer::Cancel, MatchAnswer::No, MatchAnswer::Yes}) {
    EXPECT_EQ(AskMatch(prompter, "T", "Abba", "Abba ", "SOS", "SOS"), expected);
  }
  EXPECT_EQ(prompter.m_shown[0].buttons, PromptButtons::YesNoCancel);
  EXPECT_EQ(prompter.m_shown[0].strText,
            "Playlist: Abba - SOS\nCharts:  Abba  - SOS\n\nIs this a match?");
}

TEST(ConfirmMatch, TheSameSongInEitherEncodingIsOneSong) {
  // "Beyoncé" stored as UTF-8 by the operator and as Windows-1252 in an older chart file.
  FakePrompter prompter;
  EXPECT_EQ(MatchText("Beyonc\xC3\xA9", "Beyonc\xE9", "Halo", "Halo"), 2);
  EXPECT_TRUE(ConfirmMatch(prompter, "T", "Beyonc\xC3\xA9", "BEYONC\xE9", "Halo", "Halo", true));
  EXPECT_TRUE(ConfirmMatch(prompter, "T", "Beyonc\xE9", "Beyonc\xC3\xA9", "Halo", "Halo", false));
  EXPECT_TRUE(prompter.m_shown.empty());
  // Only a-z fold in the equality, in either encoding.
  EXPECT_FALSE(ConfirmMatch(prompter, "T", "\xC3\xA9", "\xC9", "x", "x", true));

  // A question shows every text readable, whatever each was stored in.
  prompter.m_answers = {PromptAnswer::Yes};
  EXPECT_TRUE(ConfirmMatch(prompter, "T", "Beyonc\xE9", "Beyonc\xC3\xA9 ", "Halo", "Halo", false));
  ASSERT_EQ(prompter.m_shown.size(), 1u);
  EXPECT_EQ(prompter.m_shown[0].strText,
            "Playlist: Beyonc\xC3\xA9 - Halo\nCharts:  Beyonc\xC3\xA9  - Halo\n\nIs this a match?");
}

TEST(Text, ConversionsFollowTheCLibrary) {
  EXPECT_EQ(Atoi("  12abc"), 12);
  EXPECT_EQ(Atoi("abc"), 0);
  EXPECT_EQ(Atoi("-3"), -3);
  EXPECT_EQ(Atoi("99999999999999999999"), 2147483647);
  EXPECT_EQ(Atoi("-99999999999999999999"), -2147483647 - 1);
  EXPECT_EQ(FormatInt(1234, 3), "1234");
}

TEST(Text, CutsNeverSplitAUtf8Character) {
  EXPECT_EQ(CutBytes("ab\xC3\xA9", 3), "ab");
  EXPECT_EQ(CutBytes("ab\xC3\xA9", 4), "ab\xC3\xA9");
  EXPECT_EQ(CutBytes("ab\xE9x", 3), "ab\xE9");  // single-byte text is cut where asked
  EXPECT_EQ(CutField(std::string(126, 'a') + "\xE2\x82\xAC"), std::string(126, 'a'));
}

TEST(Text, DisplayKeepsUtf8AndReadsOtherBytesAsWindows1252) {
  EXPECT_EQ(DisplayUtf8("Mot\xC3\xB6rhead"), "Mot\xC3\xB6rhead");
  EXPECT_EQ(DisplayUtf8("\x93Hi\x94 \x80\xF6"), "\xE2\x80\x9CHi\xE2\x80\x9D \xE2\x82\xAC\xC3\xB6");
  // Each line of a list decides for itself.
  EXPECT_EQ(DisplayUtf8("06 Bj\xC3\xB6rk\n07 Mot\xF6rhead\n"),
            "06 Bj\xC3\xB6rk\n07 Mot\xC3\xB6rhead\n");
  EXPECT_FALSE(IsValidUtf8("\xC3"));          // cut-off sequence
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8E\xB5"));
}

TEST(DisplayFormat, DateWithAndWithoutTimeAndEmptyNamesOutsideTheTables) {
  EXPECT_EQ(FormatDate(5, 4, 12, 2026, 17, 59, false), "04 December 2026");
  EXPECT_EQ(FormatDate(0, 1, 1, 987, 0, 5, true), "Sunday 01 January 0987     00:05");
  EXPECT_EQ(FormatDate(6, 31, 7, 1999, 23, 0, true), "Saturday 31 July 1999     23:00");
  // Names outside the tables are empty.
  EXPECT_EQ(FormatDate(0, 5, 0, 1999, 0, 0, false), "05  1999");
  EXPECT_EQ(FormatDate(0, 5, 13, 1999, 0, 0, false), "05  1999");
  EXPECT_EQ(FormatDate(7, 4, 12, 2026, 17, 59, true), " 04 December 2026     17:59");
  EXPECT_EQ(FormatDate(-1, 4, 12, 2026, 17, 59, true), " 04 December 2026     17:59");
}

TEST(DisplayFormat, MinSecTruncates) {
  EXPECT_EQ(FormatMinSec(61500), "01:01");
  EXPECT_EQ(FormatMinSec(999), "00:00");
  EXPECT_EQ(FormatMinSec(6000000), "100:00");
}

}  // namespace
}  // namespace velvane
