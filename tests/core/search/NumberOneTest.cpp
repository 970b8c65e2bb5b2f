#include "core/search/NumberOne.h"

#include <gtest/gtest.h>

#include "core/db/NumberOneFile.h"
#include "support/FakeClock.h"
#include "support/FakePrompter.h"
#include "support/Rows.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

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

}  // namespace
}  // namespace velvane
