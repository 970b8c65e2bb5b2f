#include "core/db/LineCodec.h"

#include <vector>

#include "core/text/Text.h"

namespace velvane {

namespace {

constexpr std::string_view kSeparator = "\\";
constexpr std::string_view kLineEnd = "\r\n";

void AppendField(std::string& line, std::string_view field) {
  line.append(field);
  line.append(kSeparator);
}

std::string TextField(const std::vector<std::string_view>& fields, std::size_t index) {
  return index < fields.size() ? CutField(fields[index]) : std::string();
}

// Links are 32-bit: read with saturation at that width (never wrapped, as a cast of a wider
// number would), so a huge number stays out of range and the range check makes it -1.
int LinkField(const std::vector<std::string_view>& fields, std::size_t index) {
  return index < fields.size() ? Atoi(fields[index]) : -1;
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

}  // namespace

std::string FormatPlaylistLine(const PlaylistEntry& entry) {
  std::string line;
  line.reserve(entry.strArtist.size() + entry.strTitle.size() + 20);
  line.append(FormatInt(BlockNumber(entry.strCD, kMaxCD), 3));
  AppendField(line, FormatInt(BlockNumber(entry.strTrack, kMaxTrack), 2));
  AppendField(line, FieldForWriting(entry.strArtist));
  AppendField(line, FieldForWriting(entry.strTitle));
  AppendField(line, std::to_string(entry.nChartLink));
  line.append(kLineEnd);
  return line;
}

PlaylistEntry ParsePlaylistLine(std::string_view line) {
  const std::vector<std::string_view> fields = SplitFields(StripLineEnd(line));
  const std::string_view block = fields.empty() ? std::string_view() : fields[0];
  PlaylistEntry entry;
  entry.strCD = std::to_string(BlockNumber(block.substr(0, 3), kMaxCD));
  entry.strTrack = std::to_string(
      BlockNumber(block.size() > 3 ? block.substr(3, 2) : std::string_view(), kMaxTrack));
  entry.strArtist = TextField(fields, 1);
  entry.strTitle = TextField(fields, 2);
  entry.nChartLink = LinkField(fields, 3);
  return entry;
}

std::string FormatChartLine(const ChartEntry& entry) {
  std::string line;
  line.reserve(entry.strDate.size() + entry.strArtist.size() + entry.strTitle.size() + 20);
  AppendField(line, FieldForWriting(entry.strDate));
  AppendField(line, FieldForWriting(entry.strArtist));
  AppendField(line, FieldForWriting(entry.strTitle));
  AppendField(line, FieldForWriting(entry.strPosition));
  AppendField(line, std::to_string(entry.nPlaylistLink));
  line.append(kLineEnd);
  return line;
}

ChartEntry ParseChartLine(std::string_view line) {
  const std::vector<std::string_view> fields = SplitFields(StripLineEnd(line));
  return ChartEntry{TextField(fields, 0), TextField(fields, 1), TextField(fields, 2),
                    TextField(fields, 3), LinkField(fields, 4)};
}

std::string FormatNumberOneLine(const NumberOneEntry& entry) {
  std::string line;
  AppendField(line, FieldForWriting(entry.strDate));
  AppendField(line, FieldForWriting(entry.strArtist));
  AppendField(line, FieldForWriting(entry.strTitle));
  AppendField(line, FieldForWriting(entry.strCD));
  AppendField(line, FieldForWriting(entry.strTrack));
  line.append(kLineEnd);
  return line;
}

NumberOneEntry ParseNumberOneLine(std::string_view line) {
  const std::vector<std::string_view> fields = SplitFields(StripLineEnd(line));
  return NumberOneEntry{TextField(fields, 0), TextField(fields, 1), TextField(fields, 2),
                        TextField(fields, 3), TextField(fields, 4)};
}

std::vector<std::string_view> SplitLines(std::string_view content) {
  std::vector<std::string_view> lines;
  std::size_t nStart = 0;
  while (nStart < content.size()) {
    std::size_t nEnd = content.find_first_of("\r\n", nStart);
    if (nEnd == std::string_view::npos) {
      lines.push_back(content.substr(nStart));
      break;
    }
    lines.push_back(content.substr(nStart, nEnd - nStart));
    const bool bCrLf =
        content[nEnd] == '\r' && nEnd + 1 < content.size() && content[nEnd + 1] == '\n';
    nStart = nEnd + (bCrLf ? 2 : 1);
  }
  return lines;
}

bool IsBlankLine(std::string_view line) {
  for (const char c : line) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\\') {
      return false;
    }
  }
  return true;
}

}  // namespace velvane
