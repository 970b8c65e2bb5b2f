#include "core/text/DisplayFormat.h"

#include <gtest/gtest.h>

namespace velvane {
namespace {

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
