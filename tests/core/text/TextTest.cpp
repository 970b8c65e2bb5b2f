#include "core/text/Text.h"

#include <gtest/gtest.h>

#include "core/text/DisplayFormat.h"

namespace velvane {
namespace {

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
