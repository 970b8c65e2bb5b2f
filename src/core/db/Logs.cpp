#include "core/db/Logs.h"

#include <cstdio>
#include <filesystem>

#include "core/db/NativeFile.h"
#include "core/db/Paths.h"

namespace velvane {

namespace {

void AppendLine(const std::string& strPath, const std::string& strLine) {
  const UniqueFile file = OpenFile(strPath, "ab");
  if (file != nullptr) {
    std::fwrite(strLine.data(), 1, strLine.size(), file.get());
  }
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
  std::filesystem::create_directory(PathFromUtf8(strFolder), ignored);
  AppendLine(strFolder + strLogFile + ".log",
             LogTimeStamp(clock.NowUtc()) + "   " + strArtist + " - " + strTitle + "\r\n");
}

void WriteErrorLog(const std::string& strFilesDir, Clock& clock, const std::string& strMessage) {
  WriteErrorLog(strFilesDir, clock.NowUtc(), strMessage);
}

void WriteErrorLog(const std::string& strFilesDir, const SystemTime& time,
                   const std::string& strMessage) {
  AppendLine(strFilesDir + "errorlog.txt", LogTimeStamp(time) + "   " + strMessage + "\r\n");
}

void WriteWishList(const std::string& strFilesDir, const std::string& strArtist,
                   const std::string& strTitle) {
  AppendLine(strFilesDir + "wishlist.txt", strArtist + " - " + strTitle + " (Requested Track)\r\n");
}

}  // namespace velvane
