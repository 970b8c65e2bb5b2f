#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/db/Records.h"

namespace velvane {

// playlist.dat line: a five-digit number block (CD "%3.3d" then track "%2.2d"), artist, title
// and chart link, each followed by "\", then CR LF. Example: 01203\A\T\-1\ + CR LF.
std::string FormatPlaylistLine(const PlaylistEntry& entry);
// Reads a line (with or without its line end). CD and track come back normalised ("007" -> "7",
// a negative number "0"), text fields cut to 127 bytes; missing text fields are empty and a
// missing link is -1. Links saturate at 32 bits.
PlaylistEntry ParsePlaylistLine(std::string_view line);

// charts.dat line: date, artist, title, position, playlist link, each followed by "\", CR LF.
// Texts are written and read exactly as stored.
std::string FormatChartLine(const ChartEntry& entry);
ChartEntry ParseChartLine(std::string_view line);

// hits.dat line: date, artist, title, CD, track, each followed by "\", CR LF.
std::string FormatNumberOneLine(const NumberOneEntry& entry);
NumberOneEntry ParseNumberOneLine(std::string_view line);

// The lines of a file's content without their line ends. Old files end lines with CR alone,
// so CR LF, LF and a lone CR each end a line; a field can never hold either character.
std::vector<std::string_view> SplitLines(std::string_view content);

// A line that holds no field at all (empty, blanks only, or separators only) is skipped by
// every reader.
bool IsBlankLine(std::string_view line);

}  // namespace velvane
