#pragma once

#include <string>

#include "core/ports/Clock.h"

namespace velvane {

// The three append-only text files under the database folder. Each line is written with its
// own open, append and close, so other programs may read or move the files at any time.
// No write ever reports a failure: a log that cannot be written is simply skipped.

// logs/<strLogFile>.log: "dd/mm/yyyy hh:mm   artist - title" + CR LF. Creates logs/ if missing.
void WritePlayLog(const std::string& strFilesDir, const std::string& strLogFile, Clock& clock,
                  const std::string& strArtist, const std::string& strTitle);

// errorlog.txt: "dd/mm/yyyy hh:mm   message" + CR LF.
void WriteErrorLog(const std::string& strFilesDir, Clock& clock, const std::string& strMessage);
// The same at a time read earlier: for a thread that must not use the clock.
void WriteErrorLog(const std::string& strFilesDir, const SystemTime& time,
                   const std::string& strMessage);

// wishlist.txt: "artist - title (Requested Track)" + CR LF.
void WriteWishList(const std::string& strFilesDir, const std::string& strArtist,
                   const std::string& strTitle);

// The time stamp that starts play log and error log lines: "dd/mm/yyyy hh:mm".
std::string LogTimeStamp(const SystemTime& time);

}  // namespace velvane
