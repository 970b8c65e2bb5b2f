#include "core/db/NumberOneFile.h"

#include <fstream>

#include "core/db/LineCodec.h"

namespace velvane {

std::vector<NumberOneEntry> ReadNumberOnes(const std::string& strFilesDir) {
  std::vector<NumberOneEntry> entries;
  std::ifstream file(strFilesDir + "hits.dat", std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    if (!IsBlankLine(line)) {
      entries.push_back(ParseNumberOneLine(line));
    }
  }
  return entries;
}

NumberOneEntry NumberOneEndMarker() {
  return ParseNumberOneLine("31/12/3000\\ \\ \\0\\0\\");
}

bool SaveNumberOnes(const SaveReporting& reporting, const std::vector<NumberOneEntry>& entries,
                    const std::string& strCreateFailedText) {
  std::string content;
  for (const NumberOneEntry& entry : entries) {
    content += FormatNumberOneLine(entry);
  }
  return SaveDatabaseFile(reporting, "hits", content, strCreateFailedText);
}

}  // namespace velvane
