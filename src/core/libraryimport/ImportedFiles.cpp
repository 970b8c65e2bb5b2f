#include "core/libraryimport/ImportedFiles.h"

#include <algorithm>
#include <tuple>

#include "core/db/DatabaseRead.h"
#include "core/db/LineCodec.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

constexpr std::size_t kFieldCount = 5;

}  // namespace

const ImportedFile* ImportedFiles::Find(const std::string& strSource) const {
  const auto it = m_files.find(strSource);
  return it == m_files.end() ? nullptr : &it->second;
}

void ImportedFiles::Put(const std::string& strSource, const ImportedFile& file) {
  m_files.insert_or_assign(strSource, file);
}

std::string FormatImportedLine(const std::string& strSource, const ImportedFile& file) {
  return std::to_string(file.nCD) + '\t' + std::to_string(file.nTrack) + '\t' +
         EscapeTabField(strSource) + '\t' + std::to_string(file.nSize) + '\t' +
         std::to_string(file.nModified) + "\r\n";
}

bool ParseImportedLine(std::string_view line, std::string& strSource, ImportedFile& file) {
  const std::vector<std::string_view> fields = SplitTabFields(StripLineEnd(line));
  ImportedFile read;
  std::string strRead;
  if (fields.size() != kFieldCount || !ReadWholeNumber(fields[0], read.nCD) ||
      !ReadWholeNumber(fields[1], read.nTrack) || !UnescapeTabField(fields[2], strRead) ||
      strRead.empty() || !ReadWholeNumber(fields[3], read.nSize) ||
      !ReadWholeNumber(fields[4], read.nModified)) {
    return false;
  }
  strSource = std::move(strRead);
  file = read;
  return true;
}

bool LoadImportedFiles(const std::string& strFilesDir, ImportedFiles& files,
                       std::string& strError) {
  const std::string strPath = strFilesDir + kImportedBaseName + ".dat";
  const FileRead read = ReadDatabaseFile(strPath);
  if (read.state == FileRead::State::kUnreadable) {
    strError = strPath + ": " + read.strReason;
    return false;
  }
  std::string strSource;
  ImportedFile file;
  for (const std::string_view line : SplitLines(read.content.View())) {
    if (ParseImportedLine(line, strSource, file)) {
      files.Put(strSource, file);
    }
  }
  return true;
}

SaveOutcome SaveImportedFiles(const std::string& strFilesDir, const ImportedFiles& files) {
  std::vector<std::pair<const std::string*, const ImportedFile*>> sorted;
  sorted.reserve(files.Count());
  files.ForEach([&sorted](const std::string& strSource, const ImportedFile& file) {
    sorted.emplace_back(&strSource, &file);
  });
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
    return std::tie(a.second->nCD, a.second->nTrack, *a.first) <
           std::tie(b.second->nCD, b.second->nTrack, *b.first);
  });
  std::string content;
  for (const auto& [pSource, pFile] : sorted) {
    content += FormatImportedLine(*pSource, *pFile);
  }
  return SaveWithRotation(strFilesDir, kImportedBaseName, content);
}

}  // namespace velvane
