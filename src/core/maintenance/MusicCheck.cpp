#include "core/maintenance/MusicCheck.h"

#include <filesystem>

#include "core/db/Logs.h"
#include "core/db/MusicFile.h"
#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "core/text/Text.h"

namespace velvane {

std::string MusicCheckResult::Status() const {
  if (!strUnusable.empty()) {
    return "Music files not checked: " + strUnusable;
  }
  if (AllFound()) {
    return "All music tracks are accounted for";
  }
  return "Found " + std::to_string(nFound) + " music tracks out of " + std::to_string(nExpected) +
         " expected";
}

std::string MusicFolderProblem(const std::string& strMusicDir) {
  namespace fs = std::filesystem;
  if (strMusicDir.empty()) {
    return "no music folder has been set";
  }
  const std::string strName = "the music folder " + strMusicDir;
  // Without its trailing separator, so a file of that name is told apart from nothing there.
  fs::path folder = PathFromUtf8(strMusicDir);
  if (!folder.has_filename()) {
    folder = folder.parent_path();
  }
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (status.type() == fs::file_type::not_found) {
    return strName + " does not exist";
  }
  if (error) {
    return strName + " cannot be used: " + error.message();
  }
  if (!fs::is_directory(status)) {
    return strName + " is not a folder";
  }
  const fs::directory_iterator firstEntry(folder, error);  // opening it tells whether it reads
  return error ? strName + " cannot be read: " + error.message() : std::string();
}

MusicCheckResult CheckMusicFiles(const TrackStore& store, const std::string& strMusicDir,
                                 const std::string& strFilesDir, Clock& clock) {
  MusicCheckResult result;
  result.strUnusable = MusicFolderProblem(strMusicDir);
  if (!result.strUnusable.empty()) {
    WriteErrorLog(strFilesDir, clock, "Music files not checked: " + result.strUnusable);
    return result;
  }
  result.nExpected = store.PlaylistCount();
  FolderListings folders;
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    const PlaylistView record = store.Playlist(p);
    const std::string strCD = FormatInt(Atoi(record.strCD), 3);
    const std::string strTrack = FormatInt(Atoi(record.strTrack), 2);
    if (FirstStartingWith(folders.FilesIn(strMusicDir + strCD + kPathSeparator), strTrack) !=
        nullptr) {
      ++result.nFound;
    } else {
      std::string strLine = "Music file CD ";
      strLine.append(strCD).append(" Track ").append(strTrack).append(" could not be found");
      WriteErrorLog(strFilesDir, clock, strLine);
    }
  }
  return result;
}

}  // namespace velvane
