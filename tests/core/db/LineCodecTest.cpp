#include "core/db/LineCodec.h"

#include <gtest/gtest.h>

namespace velvane {
namespace {

TEST(PlaylistLine, NumberBlockIsZeroPaddedAndReadsBack) {
  const std::string line = FormatPlaylistLine({"A", "T", "7", "5", -1});
  EXPECT_EQ(line, "00705\\A\\T\\-1\\\r\n");
  const PlaylistEntry back = ParsePlaylistLine(line);
  EXPECT_EQ(back.strCD, "7");
  EXPECT_EQ(back.strTrack, "5");
  EXPECT_EQ(back.nChartLink, -1);

  const std::string largest = FormatPlaylistLine({"A", "T", "999", "99", 12});
  EXPECT_EQ(largest, "99999\\A\\T\\12\\\r\n");
  EXPECT_EQ(ParsePlaylistLine(largest).strCD, "999");
  EXPECT_EQ(ParsePlaylistLine(largest).strTrack, "99");
  // Numbers are normalised both ways.
  EXPECT_EQ(ParsePlaylistLine("00700\\A\\T\\3\\").strTrack, "0");
  EXPECT_EQ(FormatPlaylistLine({"A", "T", "012", "03", -1}).substr(0, 6), "01203\\");
}

TEST(PlaylistLine, EmptyFieldsAreWrittenAsOneBlankAndSurvive) {
  const std::string line = FormatPlaylistLine({"", "T", "1", "2", -1});
  EXPECT_EQ(line, "00102\\ \\T\\-1\\\r\n");
  const PlaylistEntry back = ParsePlaylistLine(line);
  EXPECT_EQ(back.strArtist, " ");
  EXPECT_EQ(back.strTitle, "T");
}

TEST(PlaylistLine, SeparatorRunsCollapseAndLineEndsAreIgnored) {
  // A run of separators counts as one, so an empty artist lets the title slide into it.
  const PlaylistEntry collapsed = ParsePlaylistLine("\\\\00102\\\\T\\4\\\r\n");
  EXPECT_EQ(collapsed.strArtist, "T");
  EXPECT_EQ(collapsed.nChartLink, -1);
  EXPECT_EQ(ParsePlaylistLine("00102\\A\\T\\4\\\n").nChartLink, 4);
  // Lines of separators and blanks only hold no record.
  EXPECT_TRUE(IsBlankLine(" \\ \\\r\n"));
  EXPECT_FALSE(IsBlankLine("00000\\ \\ \\-1\\"));
}

TEST(PlaylistLine, ShortLongAndDamagedFields) {
  const PlaylistEntry cut = ParsePlaylistLine("00102\\Artist only");
  EXPECT_EQ(cut.strArtist, "Artist only");
  EXPECT_EQ(cut.strTitle, "");
  EXPECT_EQ(cut.nChartLink, -1);

  const PlaylistEntry shortBlock = ParsePlaylistLine("7\\A\\T\\x\\");
  EXPECT_EQ(shortBlock.strCD, "7");
  EXPECT_EQ(shortBlock.strTrack, "0");
  EXPECT_EQ(shortBlock.nChartLink, 0);  // non-numeric link text reads as 0

  const PlaylistEntry entry = ParsePlaylistLine("00102\\" + std::string(300, 'a') + "\\T\\-1\\");
  EXPECT_EQ(entry.strArtist, std::string(127, 'a'));
  EXPECT_EQ(entry.strTitle, "T");
}

TEST(PlaylistLine, DamagedNumbersReadAsNoneOrOutOfRangeNeverAsAnotherValidValue) {
  // A sign in the number block would widen it on writing and shift it on every resave.
  const PlaylistEntry signed_ = ParsePlaylistLine("-1203\\A\\T\\-1\\");
  EXPECT_EQ(signed_.strCD, "0");
  EXPECT_EQ(signed_.strTrack, "3");
  EXPECT_EQ(FormatPlaylistLine(signed_).substr(0, 6), "00003\\");
  EXPECT_EQ(FormatPlaylistLine({"A", "T", "1000", "-5", -1}).substr(0, 6), "00000\\");
  // 2^32 + 1 must not wrap round to link 1.
  EXPECT_EQ(ParsePlaylistLine("00101\\A\\T\\4294967297\\").nChartLink, 2147483647);
  EXPECT_EQ(ParseChartLine("d\\A\\T\\1\\-4294967297\\").nPlaylistLink, -2147483647 - 1);
}

TEST(Lines, CrLfLfAndALoneCrEachEndALine) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd\r\r\ne"),
            (std::vector<std::string_view>{"a", "b", "c", "d", "", "e"}));
  EXPECT_EQ(SplitLines("a\n\r"), (std::vector<std::string_view>{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(ChartAndNumberOneLines, TextsTravelUnchangedInBothDirections) {
  const std::string line = FormatChartLine({"05/03/1983", "A", "T", "01", -1});
  EXPECT_EQ(line, "05/03/1983\\A\\T\\01\\-1\\\r\n");
  const ChartEntry back = ParseChartLine(line);
  EXPECT_EQ(back.strDate, "05/03/1983");
  EXPECT_EQ(back.strPosition, "01");  // no normalisation of the position
  EXPECT_EQ(back.nPlaylistLink, -1);
  EXPECT_EQ(FormatChartLine({"5/3/83", "", "T", "1", 7}), "5/3/83\\ \\T\\1\\7\\\r\n");

  const std::string hit = FormatNumberOneLine({"05/03/1983", "A", "T", " ", ""});
  EXPECT_EQ(hit, "05/03/1983\\A\\T\\ \\ \\\r\n");
  EXPECT_EQ(ParseNumberOneLine(hit).strTrack, " ");
  EXPECT_EQ(ParseNumberOneLine(hit).strTitle, "T");
}

}  // namespace
}  // namespace velvane
