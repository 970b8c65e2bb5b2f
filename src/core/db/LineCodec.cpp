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

int LinkField(const std::vector<std::string_view>& fields, std::size_t index) {
  return index < fields.size() ? static_cast<int>(Atol(fields[index])) : -1;
}

std::string Normalised(std::string_view number) {
  return std::to_string(Atoi(number));
}

}  // namespace

std::string FormatPlaylistLine(const PlaylistEntry& entry) {
  std::string line;
  line.reserve(entry.strArtist.size() + entry.strTitle.size() + 20);
  line.append(FormatInt(Atoi(entry.strCD), 3));
  AppendField(line, FormatInt(Atoi(entry.strTrack), 2));
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
  entry.strCD = Normalised(block.substr(0, 3));
  entry.strTrack = Normalised(block.size() > 3 ? block.substr(3, 2) : std::string_view());
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

bool IsBlankLine(std::string_view line) {
  for (const char c : line) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\\') {
      return false;
    }
  }
  return true;
}

}  // namespace velvane
