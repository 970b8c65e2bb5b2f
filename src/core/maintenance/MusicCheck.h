#pragma once

#include <string>

#include "core/db/TrackStore.h"
#include "core/ports/Clock.h"

namespace velvane {

inline constexpr const char* kCheckingMusicFiles = "Checking music files, please wait...";

struct MusicCheckResult {
  int nFound = 0;
  int nExpected = 0;
  // "All music tracks are accounted for" or "Found %d music tracks out of %d expected".
  std::string Status() const;
  bool AllFound() const { return nFound == nExpected; }
};

// Looks for every library record's music file (CD folder "%3.3d", a file whose name starts with
// the track as "%2.2d") and writes an error-log line for each one missing. Each CD folder is
// listed once, however many of its tracks the library holds.
MusicCheckResult CheckMusicFiles(const TrackStore& store, const std::string& strMusicDir,
                                 const std::string& strFilesDir, Clock& clock);

}  // namespace velvane
