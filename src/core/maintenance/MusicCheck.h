#pragma once

#include <string>

#include "core/db/TrackStore.h"
#include "core/ports/Clock.h"

namespace velvane {

inline constexpr const char* kCheckingMusicFiles = "Checking music files, please wait...";

struct MusicCheckResult {
  int nFound = 0;
  int nExpected = 0;
  std::string strUnusable;  // why the music folder could not be searched at all, or empty
  // "All music tracks are accounted for" or "Found %d music tracks out of %d expected", or
  // why nothing was checked.
  std::string Status() const;
  bool AllFound() const { return strUnusable.empty() && nFound == nExpected; }
};

// Why the music folder cannot be searched (not set, missing, not a folder, a link loop, not
// readable), or empty when it can.
std::string MusicFolderProblem(const std::string& strMusicDir);

// Looks for every library record's music file (CD folder "%3.3d", a file whose name starts with
// the track as "%2.2d") and writes an error-log line for each one missing. Each CD folder is
// listed once, however many of its tracks the library holds. A music folder that cannot be
// searched is not checked at all: its reason goes to the error log and the result, and nothing
// is counted, rather than every track being reported missing.
MusicCheckResult CheckMusicFiles(const TrackStore& store, const std::string& strMusicDir,
                                 const std::string& strFilesDir, Clock& clock);

}  // namespace velvane
