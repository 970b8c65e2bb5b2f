#include "core/maintenance/MusicCheck.h"

#include <filesystem>
#include <map>
#include <set>

#include "core/db/Logs.h"
#include "core/db/Paths.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// The names of one CD folder's files; an unreadable or missing folder has none.
std::set<std::string> ListFiles(const std::string& strFolder) {
  std::set<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator entries(strFolder, error);
  if (error) {
    return names;
  }
  for (const auto& entry : entries) {
    if (entry.is_regular_file(error)) {
      names.insert(entry.path().filename().string());
    }
  }
  return names;
}

bool AnyStartsWith(const std::set<std::string>& names, const std::string& strPrefix) {
  const auto it = names.lower_bound(strPrefix);
  return it != names.end() && it->compare(0, strPrefix.size(), strPrefix) == 0;
}

}  // namespace

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
  std::map<std::string, std::set<std::string>> folders;
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    const PlaylistEntry& record = store.Playlist(p);
    const std::string strCD = FormatInt(Atoi(record.strCD), 3);
    const std::string strTrack = FormatInt(Atoi(record.strTrack), 2);
    auto it = folders.find(strCD);
    if (it == folders.end()) {
      it = folders.emplace(strCD, ListFiles(strMusicDir + strCD + kPathSeparator)).first;
    }
    if (AnyStartsWith(it->second, strTrack)) {
      ++result.nFound;
    } else {
      WriteErrorLog(strFilesDir, clock,
                    "Music file CD " + strCD + " Track " + strTrack + " could not be found");
    }
  }
  return result;
}

}  // namespace velvane
