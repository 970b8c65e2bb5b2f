#include "core/db/LineCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/Rows.h"

namespace velvane {
namespace {

TEST(PlaylistLine, NumbersArePaddedAndAnEmptyFieldIsWrittenAsOneBlank) {
  const std::pair<PlaylistEntry, const char*> cases[] = {
      {{"A", "T", "7", "5", -1}, "00705\\A\\T\\-1\\\r\n"},
      {{"A", "T", "999", "99", 12}, "99999\\A\\T\\12\\\r\n"},
      {{"A", "T", "012", "03", -1}, "01203\\A\\T\\-1\\\r\n"},
      {{"", "T", "1", "2", -1}, "00102\\ \\T\\-1\\\r\n"},
      {{"A", "T", "1000", "-5", -1}, "00000\\A\\T\\-1\\\r\n"},  // never a wider block
  };
  for (const auto& [record, pszLine] : cases) {
    EXPECT_EQ(FormatPlaylistLine(record), pszLine);
  }
}

TEST(PlaylistLine, ReadsNormalisedNumbersCutFieldsAndDamageAsNoneOrOutOfRange) {
  const std::pair<std::string, std::string> cases[] = {
      {"00705\\A\\T\\-1\\\r\n", "A|T|7|5|-1"},
      {"99999\\A\\T\\12\\\n", "A|T|999|99|12"},
      {"00700\\A\\T\\3\\", "A|T|7|0|3"},
      {"00102\\ \\T\\-1\\\r\n", " |T|1|2|-1"},
      // A run of separators counts as one, so an empty artist lets the title slide into it.
      {"\\\\00102\\\\T\\4\\\r\n", "T|4|1|2|-1"},
      {"00102\\Artist only", "Artist only||1|2|-1"},
      {"7\\A\\T\\x\\", "A|T|7|0|0"},  // a short block; a link that is no number reads as 0
      {"00102\\" + std::string(300, 'a') + "\\T\\-1\\", std::string(127, 'a') + "|T|1|2|-1"},
      // A sign in the number block would widen it on writing and shift it on every resave.
      {"-1203\\A\\T\\-1\\", "A|T|0|3|-1"},
      {"00101\\A\\T\\4294967297\\", "A|T|1|1|2147483647"},  // 2^32 + 1 must not wrap round to 1
  };
  for (const auto& [line, row] : cases) {
    EXPECT_EQ(Row(ParsePlaylistLine(line)), row);
  }
  EXPECT_EQ(ParseChartLine("d\\A\\T\\1\\-4294967297\\").nPlaylistLink, -2147483647 - 1);
  // Lines of separators and blanks only hold no record.
  EXPECT_TRUE(IsBlankLine(" \\ \\\r\n"));
  EXPECT_FALSE(IsBlankLine("00000\\ \\ \\-1\\"));
}

TEST(Lines, CrLfLfAndALoneCrEachEndALine) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd\r\r\ne"),
            (std::vector<std::string_view>{"a", "b", "c", "d", "", "e"}));
  EXPECT_EQ(SplitLines("a\n\r"), (std::vector<std::string_view>{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(ChartAndNumberOneLines, TextsTravelUnchangedInBothDirections) {
  EXPECT_EQ(FormatChartLine({"05/03/1983", "A", "T", "01", -1}), "05/03/1983\\A\\T\\01\\-1\\\r\n");
  EXPECT_EQ(Row(ParseChartLine("05/03/1983\\A\\T\\01\\-1\\\r\n")), "05/03/1983|A|T|01|-1");
  EXPECT_EQ(FormatChartLine({"5/3/83", "", "T", "1", 7}), "5/3/83\\ \\T\\1\\7\\\r\n");
  EXPECT_EQ(FormatNumberOneLine({"05/03/1983", "A", "T", " ", ""}), "05/03/1983\\A\\T\\ \\ \\\r\n");
  EXPECT_EQ(Row(ParseNumberOneLine("05/03/1983\\A\\T\\ \\ \\\r\n")), "05/03/1983|A|T| | ");
}

}  // namespace
}  // namespace velvane
