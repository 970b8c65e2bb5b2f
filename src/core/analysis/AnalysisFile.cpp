#include "core/analysis/AnalysisFile.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "core/db/DatabaseRead.h"
#include "core/db/LineCodec.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

constexpr char kSeparator = '\t';
constexpr std::size_t kFieldCount = 9;

bool ReadDecibels(std::string_view field, double& value) {
  return ReadWholeNumber(field, value) && std::isfinite(value);
}

// Library numbers: digits only, kept without leading zeros as the library holds them.
bool ReadLibraryNumber(std::string_view field, std::string& text) {
  int nValue = 0;
  if (field.empty() || field.front() == '-' || !ReadWholeNumber(field, nValue)) {
    return false;
  }
  text = std::to_string(nValue);
  return true;
}

void AppendDecibels(std::string& line, double dValue) {
  char buffer[64];
  const auto [pEnd, error] =
      std::to_chars(buffer, buffer + sizeof buffer, dValue, std::chars_format::fixed, 2);
  line.append(buffer, error == std::errc() ? pEnd : buffer);
}

}  // namespace

std::string FormatAnalysisLine(const TrackAnalysis& result) {
  std::string line = result.strCD;
  line += kSeparator;
  line += result.strTrack;
  line += kSeparator;
  line += EscapeTabField(result.file.strFileName);
  line += kSeparator;
  line += std::to_string(result.file.nSize);
  line += kSeparator;
  line += std::to_string(result.file.nModified);
  line += kSeparator;
  AppendDecibels(line, result.measures.dLoudness);
  line += kSeparator;
  AppendDecibels(line, result.measures.dTruePeak);
  line += kSeparator;
  line += std::to_string(result.measures.nAudibleStart);
  line += kSeparator;
  line += std::to_string(result.measures.nAudibleEnd);
  line += "\r\n";
  return line;
}

bool ParseAnalysisLine(std::string_view line, TrackAnalysis& result) {
  const std::vector<std::string_view> fields = SplitTabFields(StripLineEnd(line));
  if (fields.size() != kFieldCount) {
    return false;
  }
  TrackAnalysis read;
  TrackMeasures& measures = read.measures;
  const bool bRead =
      ReadLibraryNumber(fields[0], read.strCD) && ReadLibraryNumber(fields[1], read.strTrack) &&
      UnescapeTabField(fields[2], read.file.strFileName) && !read.file.strFileName.empty() &&
      ReadWholeNumber(fields[3], read.file.nSize) &&
      ReadWholeNumber(fields[4], read.file.nModified) &&
      ReadDecibels(fields[5], measures.dLoudness) && ReadDecibels(fields[6], measures.dTruePeak) &&
      ReadWholeNumber(fields[7], measures.nAudibleStart) &&
      ReadWholeNumber(fields[8], measures.nAudibleEnd);
  if (!bRead || measures.nAudibleStart < 0 || measures.nAudibleEnd < measures.nAudibleStart) {
    return false;
  }
  result = std::move(read);
  return true;
}

bool LoadAnalysisFile(const std::string& strFilesDir, AnalysisResults& results,
                      std::string& strError) {
  const std::string strPath = strFilesDir + kAnalysisBaseName + ".dat";
  const FileRead read = ReadDatabaseFile(strPath);
  if (read.state == FileRead::State::kUnreadable) {
    strError = strPath + ": " + read.strReason;
    return false;
  }
  TrackAnalysis result;
  for (const std::string_view line : SplitLines(read.content.View())) {
    if (ParseAnalysisLine(line, result)) {
      results.Put(std::move(result));
    }
  }
  return true;
}

SaveOutcome SaveAnalysisFile(const std::string& strFilesDir, const AnalysisResults& results) {
  std::string content;
  results.ForEach(
      [&content](const TrackAnalysis& result) { content += FormatAnalysisLine(result); });
  return SaveWithRotation(strFilesDir, kAnalysisBaseName, content);
}

}  // namespace velvane
