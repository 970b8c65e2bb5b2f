#include "core/db/NumberOneFile.h"

#include <string_view>

#include "core/db/DatabaseRead.h"
#include "core/db/LineCodec.h"

namespace velvane {

std::vector<NumberOneEntry> ReadNumberOnes(const std::string& strFilesDir, std::string* pUnreadable,
                                           bool* pMissing) {
  const FileRead read = ReadDatabaseFile(strFilesDir + "hits.dat");
  if (pUnreadable != nullptr) {
    *pUnreadable = read.state == FileRead::State::kUnreadable ? read.strReason : std::string();
  }
  if (pMissing != nullptr) {
    *pMissing = read.state == FileRead::State::kMissing;
  }
  std::vector<NumberOneEntry> entries;
  for (const std::string_view line : SplitLines(read.content.View())) {
    if (!IsBlankLine(line)) {
      entries.push_back(ParseNumberOneLine(line));
    }
  }
  return entries;
}

NumberOneEntry NumberOneEndMarker() {
  return ParseNumberOneLine("31/12/3000\\ \\ \\0\\0\\");
}

SaveOutcome SaveNumberOnes(const SaveReporting& reporting,
                           const std::vector<NumberOneEntry>& entries,
                           const std::string& strCreateFailedText) {
  const auto appendLine = [&entries](std::string& strText, std::size_t i) {
    strText += FormatNumberOneLine(entries[i]);
  };
  return SaveDatabaseFile(reporting, "hits", LinesInPieces(entries.size(), appendLine),
                          strCreateFailedText);
}

}  // namespace velvane
