#include "core/db/LineCodec.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

#include "core/text/ByteScan.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

constexpr char kSeparator = '\\';
constexpr std::string_view kLineEnd = "\r\n";

// Splits the way SplitFields does (separators at the start skipped, a run of them one), but
// only the first N fields, into a fixed array: the readers of whole files make no vector per
// line. The rest of the array stays empty. Returns how many fields there were, at most N.
template <std::size_t N>
std::size_t FirstFields(std::string_view line, std::array<std::string_view, N>& fields) {
  std::size_t nCount = 0;
  std::size_t i = 0;
  while (nCount < N) {
    while (i < line.size() && line[i] == kSeparator) {
      ++i;
    }
    if (i == line.size()) {
      break;
    }
    const std::size_t nEnd = FindByte(line, i, kSeparator);
    fields[nCount++] = line.substr(i, nEnd - i);
    i = nEnd;
  }
  return nCount;
}

std::string_view TextField(std::string_view field) {
  return field.size() <= kMaxFieldBytes ? field : CutView(field, kMaxFieldBytes);
}

// Links are 32-bit: read with saturation at that width (never wrapped, as a cast of a wider
// number would), so a huge number stays out of range and the range check makes it -1.
int LinkField(std::string_view field, bool bPresent) {
  return bPresent ? Atoi(field) : -1;
}

// The number block holds CD 0-999 and track 0-99. Anything else (a sign in a damaged block,
// or a number that would widen the block) is written and read as 0, none, so that a block
// written back reads the same and the next field is never shifted.
int BlockNumber(std::string_view text, int nMax) {
  const int nNumber = Atoi(text);
  return nNumber < 0 || nNumber > nMax ? 0 : nNumber;
}

constexpr int kMaxCD = 999;
constexpr int kMaxTrack = 99;

void AppendPadded(std::string& line, int nNumber, int nDigits) {
  char buffer[16];
  const auto [pEnd, error] = std::to_chars(buffer, buffer + sizeof buffer, nNumber);
  line.append(static_cast<std::size_t>(std::max<std::ptrdiff_t>(nDigits - (pEnd - buffer), 0)),
              '0');
  line.append(buffer, pEnd);
}

void AppendField(std::string& line, std::string_view field) {
  line.append(field);
  line += kSeparator;
}

void AppendTextField(std::string& line, std::string_view field) {
  AppendField(line, FieldForWriting(field));
}

void AppendLinkField(std::string& line, int nLink) {
  char buffer[16];
  const auto [pEnd, error] = std::to_chars(buffer, buffer + sizeof buffer, nLink);
  AppendField(line, std::string_view(buffer, static_cast<std::size_t>(pEnd - buffer)));
}

}  // namespace

std::string_view NumberText(int nNumber) {
  static const auto kTexts = [] {
    std::array<char, std::size_t{kMaxCD + 1} * 4> texts{};
    for (int n = 0; n <= kMaxCD; ++n) {
      std::to_chars(&texts[static_cast<std::size_t>(n) * 4],
                    &texts[static_cast<std::size_t>(n) * 4 + 3], n);
    }
    return texts;
  }();
  const std::size_t nDigits = nNumber < 10 ? 1 : nNumber < 100 ? 2 : 3;
  return {&kTexts[static_cast<std::size_t>(nNumber) * 4], nDigits};
}

void AppendPlaylistLine(std::string& content, const PlaylistView& entry) {
  AppendPadded(content, BlockNumber(entry.strCD, kMaxCD), 3);
  AppendPadded(content, BlockNumber(entry.strTrack, kMaxTrack), 2);
  content += kSeparator;
  AppendTextField(content, entry.strArtist);
  AppendTextField(content, entry.strTitle);
  AppendLinkField(content, entry.nChartLink);
  content.append(kLineEnd);
}

std::string FormatPlaylistLine(const PlaylistView& entry) {
  std::string line;
  line.reserve(entry.strArtist.size() + entry.strTitle.size() + 20);
  AppendPlaylistLine(line, entry);
  return line;
}

PlaylistView ReadPlaylistLine(std::string_view line) {
  std::array<std::string_view, 4> fields;
  const std::size_t nCount = FirstFields(StripLineEnd(line), fields);
  const std::string_view block = fields[0];
  return PlaylistView{TextField(fields[1]), TextField(fields[2]),
                      NumberText(BlockNumber(block.substr(0, 3), kMaxCD)),
                      NumberText(BlockNumber(
                          block.size() > 3 ? block.substr(3, 2) : std::string_view(), kMaxTrack)),
                      LinkField(fields[3], nCount > 3)};
}

PlaylistEntry ParsePlaylistLine(std::string_view line) {
  return OwnedEntry(ReadPlaylistLine(line));
}

void AppendChartLine(std::string& content, const ChartView& entry) {
  AppendTextField(content, entry.strDate);
  AppendTextField(content, entry.strArtist);
  AppendTextField(content, entry.strTitle);
  AppendTextField(content, entry.strPosition);
  AppendLinkField(content, entry.nPlaylistLink);
  content.append(kLineEnd);
}

std::string FormatChartLine(const ChartView& entry) {
  std::string line;
  line.reserve(entry.strDate.size() + entry.strArtist.size() + entry.strTitle.size() + 20);
  AppendChartLine(line, entry);
  return line;
}

ChartView ReadChartLine(std::string_view line) {
  std::array<std::string_view, 5> fields;
  const std::size_t nCount = FirstFields(StripLineEnd(line), fields);
  return ChartView{TextField(fields[0]), TextField(fields[1]), TextField(fields[2]),
                   TextField(fields[3]), LinkField(fields[4], nCount > 4)};
}

ChartEntry ParseChartLine(std::string_view line) {
  return OwnedEntry(ReadChartLine(line));
}

std::string FormatNumberOneLine(const NumberOneEntry& entry) {
  std::string line;
  AppendTextField(line, entry.strDate);
  AppendTextField(line, entry.strArtist);
  AppendTextField(line, entry.strTitle);
  AppendTextField(line, entry.strCD);
  AppendTextField(line, entry.strTrack);
  line.append(kLineEnd);
  return line;
}

NumberOneEntry ParseNumberOneLine(std::string_view line) {
  std::array<std::string_view, 5> fields;
  FirstFields(StripLineEnd(line), fields);
  return NumberOneEntry{CutField(fields[0]), CutField(fields[1]), CutField(fields[2]),
                        CutField(fields[3]), CutField(fields[4])};
}

LineScanner::LineScanner(std::string_view content) : m_content(content) {}

bool LineScanner::Next(std::string_view& line) {
  if (m_nPos >= m_content.size()) {
    return false;
  }
  const std::size_t nEnd = FindEither(m_content, m_nPos, '\r', '\n');
  line = m_content.substr(m_nPos, nEnd - m_nPos);
  const bool bCrLf = m_content.substr(nEnd).starts_with("\r\n");
  m_nPos = nEnd + (bCrLf ? 2 : 1);
  return true;
}

std::vector<std::string_view> SplitLines(std::string_view content) {
  std::vector<std::string_view> lines;
  LineScanner scanner(content);
  std::string_view line;
  while (scanner.Next(line)) {
    lines.push_back(line);
  }
  return lines;
}

bool IsBlankLine(std::string_view line) {
  for (const char c : line) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != kSeparator) {
      return false;
    }
  }
  return true;
}

}  // namespace velvane
