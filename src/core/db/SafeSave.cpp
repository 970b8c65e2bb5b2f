#include "core/db/SafeSave.h"

#include <cstdio>
#include <filesystem>

#include "core/db/Logs.h"
#include "core/db/NativeFile.h"

namespace velvane {

namespace {

bool WriteWholeFile(const std::string& strPath, std::string_view content) {
  std::FILE* pFile = std::fopen(strPath.c_str(), "wb");
  if (pFile == nullptr) {
    return false;
  }
  // On the disk before the renames, so that a crash cannot leave a half-written name.dat.
  const bool bWritten =
      std::fwrite(content.data(), 1, content.size(), pFile) == content.size() && FlushToDisk(pFile);
  const bool bClosed = std::fclose(pFile) == 0;
  return bWritten && bClosed;
}

}  // namespace

SaveResult SaveWithRotation(const std::string& strFolder, const std::string& strBaseName,
                            std::string_view content) {
  const std::string strOld = strFolder + strBaseName + ".old";
  const std::string strDat = strFolder + strBaseName + ".dat";
  const std::string strTmp = strFolder + strBaseName + ".tmp";
  if (!WriteWholeFile(strTmp, content)) {
    std::error_code ignored;
    std::filesystem::remove(strTmp, ignored);  // a partial copy is worth nothing
    return SaveResult::kCreateFailed;
  }
  std::error_code ignored;
  std::filesystem::remove(strOld, ignored);
  std::filesystem::rename(strDat, strOld, ignored);
  std::error_code error;
  std::filesystem::rename(strTmp, strDat, error);
  return error ? SaveResult::kRenameFailed : SaveResult::kSaved;
}

bool SaveDatabaseFile(const SaveReporting& reporting, const std::string& strBaseName,
                      std::string_view content, const std::string& strCreateFailedText) {
  switch (SaveWithRotation(reporting.strFilesDir, strBaseName, content)) {
    case SaveResult::kSaved:
      return true;
    case SaveResult::kCreateFailed:
      WriteErrorLog(reporting.strFilesDir, reporting.clock, strCreateFailedText);
      return false;
    case SaveResult::kRenameFailed:
      break;
  }
  const std::string strText = "Failed to replace " + strBaseName +
                              ".dat; the new copy is kept in " + reporting.strFilesDir +
                              strBaseName + ".tmp";
  WriteErrorLog(reporting.strFilesDir, reporting.clock, strText);
  reporting.prompter.Show(strText, reporting.strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
  return false;
}

}  // namespace velvane
