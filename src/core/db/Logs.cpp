#include "core/db/Logs.h"

#include <cstdio>
#include <filesystem>

#include "core/db/Paths.h"

namespace velvane {

namespace {

void AppendLine(const std::string& strPath, const std::string& strLine) {
  std::FILE* pFile = std::fopen(strPath.c_str(), "ab");
  if (pFile == nullptr) {
    return;
  }
  std::fwrite(strLine.data(), 1, strLine.size(), pFile);
  std::fclose(pFile);
}

}  // namespace

std::string LogTimeStamp(const SystemTime& time) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%2.2d/%2.2d/%4d %2.2d:%2.2d", time.nDay, time.nMonth,
                time.nYear, time.nHour, time.nMinute);
  return buffer;
}

void WritePlayLog(const std::string& strFilesDir, const std::string& strLogFile, Clock& clock,
                  const std::string& strArtist, const std::string& strTitle) {
  const std::string strFolder = strFilesDir + "logs" + kPathSeparator;
  std::error_code ignored;
  std::filesystem::create_directory(strFolder, ignored);
  AppendLine(strFolder + strLogFile + ".log",
             LogTimeStamp(clock.NowUtc()) + "   " + strArtist + " - " + strTitle + "\r\n");
}

void WriteErrorLog(const std::string& strFilesDir, Clock& clock, const std::string& strMessage) {
  AppendLine(strFilesDir + "errorlog.txt",
             LogTimeStamp(clock.NowUtc()) + "   " + strMessage + "\r\n");
}

void WriteWishList(const std::string& strFilesDir, const std::string& strArtist,
                   const std::string& strTitle) {
  AppendLine(strFilesDir + "wishlist.txt", strArtist + " - " + strTitle + " (Requested Track)\r\n");
}

}  // namespace velvane
