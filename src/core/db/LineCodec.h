#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/Records.h"

namespace velvane {

// playlist.dat line: a five-digit number block (CD "%3.3d" then track "%2.2d"), artist, title
// and chart link, each followed by "\", then CR LF. Example: 01203\A\T\-1\ + CR LF.
std::string FormatPlaylistLine(const PlaylistView& entry);
void AppendPlaylistLine(std::string& content, const PlaylistView& entry);
// Reads a line (with or without its line end). CD and track come back normalised ("007" -> "7",
// a negative number "0"), text fields cut to 127 bytes; missing text fields are empty and a
// missing link is -1. Links saturate at 32 bits.
PlaylistEntry ParsePlaylistLine(std::string_view line);
// The same reading without copies: the texts are views of `line`, CD and track views of
// constant texts.
PlaylistView ReadPlaylistLine(std::string_view line);

// "0" to "999" (a number in that range): the normalised CD and track texts a read record
// points at.
std::string_view NumberText(int nNumber);

// charts.dat line: date, artist, title, position, playlist link, each followed by "\", CR LF.
// Texts are written and read exactly as stored.
std::string FormatChartLine(const ChartView& entry);
void AppendChartLine(std::string& content, const ChartView& entry);
ChartEntry ParseChartLine(std::string_view line);
ChartView ReadChartLine(std::string_view line);

// hits.dat line: date, artist, title, CD, track, each followed by "\", CR LF.
std::string FormatNumberOneLine(const NumberOneEntry& entry);
NumberOneEntry ParseNumberOneLine(std::string_view line);

// The lines of a file's content without their line ends. Old files end lines with CR alone,
// so CR LF, LF and a lone CR each end a line; a field can never hold either character.
std::vector<std::string_view> SplitLines(std::string_view content);

// The same lines one at a time, for whole database files: nothing is collected.
class LineScanner {
 public:
  explicit LineScanner(std::string_view content);
  // The next line, false after the last.
  bool Next(std::string_view& line);

 private:
  std::string_view m_content;
  std::size_t m_nPos = 0;
};

// A line that holds no field at all (empty, blanks only, or separators only) is skipped by
// every reader.
bool IsBlankLine(std::string_view line);

}  // namespace velvane
