#include "core/maintenance/MusicCheck.h"

#include "core/db/Logs.h"
#include "core/db/Paths.h"
#include "core/playback/MusicFile.h"
#include "core/text/Text.h"

namespace velvane {

std::string MusicCheckResult::Status() const {
  if (AllFound()) {
    return "All music tracks are accounted for";
  }
  return "Found " + std::to_string(nFound) + " music tracks out of " + std::to_string(nExpected) +
         " expected";
}

MusicCheckResult CheckMusicFiles(const TrackStore& store, const std::string& strMusicDir,
                                 const std::string& strFilesDir, Clock& clock) {
  MusicCheckResult result;
  result.nExpected = store.PlaylistCount();
  FolderListings folders;
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    const PlaylistEntry& record = store.Playlist(p);
    const std::string strCD = FormatInt(Atoi(record.strCD), 3);
    const std::string strTrack = FormatInt(Atoi(record.strTrack), 2);
    if (FirstStartingWith(folders.FilesIn(strMusicDir + strCD + kPathSeparator), strTrack) !=
        nullptr) {
      ++result.nFound;
    } else {
      WriteErrorLog(strFilesDir, clock,
                    "Music file CD " + strCD + " Track " + strTrack + " could not be found");
    }
  }
  return result;
}

}  // namespace velvane
