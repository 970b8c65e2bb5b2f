#include "core/search/NumberOne.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(ReadTypedDate("1/13/1990").nDayNumber, 0);
}

TEST(NumberOne, DayNumbersOnlyCompare) {
  EXPECT_EQ(DayNumber(1, 1, 1950), 0);
  EXPECT_EQ(DayNumber(31, 1, 1983), DayNumber(1, 2, 1983));
  EXPECT_EQ(DayNumber(31, 12, 1984), DayNumber(1, 1, 1985));
  EXPECT_LT(DayNumber(1, 2, 1983), DayNumber(2, 2, 1983));
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

TEST_F(NumberOneFileTest, EntryHoldsUntilTheNextDate) {
  NumberOneAnswer answer = SearchNumberOne(m_dir.Folder(), "5/3/83");
  EXPECT_TRUE(answer.bFound);
  EXPECT_EQ(answer.strResult, "\nNumber 1 in the charts on 05 March 1983 was\n\nFirst - One");
  EXPECT_TRUE(answer.bCanQueue);
  EXPECT_EQ(answer.entry.strCD, "12");

  EXPECT_EQ(SearchNumberOne(m_dir.Folder(), "31/1/1984").entry.strArtist,
            "Second");  // same day no.
  EXPECT_EQ(SearchNumberOne(m_dir.Folder(), "30/1/1984").entry.strArtist, "First");
  answer = SearchNumberOne(m_dir.Folder(), "02/02/1984");
  EXPECT_EQ(answer.entry.strArtist, "Second");
  EXPECT_FALSE(answer.bCanQueue);  // CD "0": not in the library
  EXPECT_FALSE(SearchNumberOne(m_dir.Folder(), "1/1/2020").bCanQueue);  // CD " "
  EXPECT_EQ(SearchNumberOne(m_dir.Folder(), "1/1/2020").entry.strArtist, "Third");
}

TEST_F(NumberOneFileTest, BeforeTheFirstEntryInvalidOrMissingFileFindNothing) {
  EXPECT_FALSE(SearchNumberOne(m_dir.Folder(), "4/3/83").bFound);
  EXPECT_FALSE(SearchNumberOne(m_dir.Folder(), "32/1/1990").bFound);
  const NumberOneAnswer missing = SearchNumberOne(m_dir.Folder() + "nope/", "5/3/83");
  EXPECT_FALSE(missing.bFound);
  EXPECT_EQ(missing.strResult, "\n\nSorry, could not find that date");
}

}  // namespace
}  // namespace velvane
