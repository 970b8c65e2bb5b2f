#include "core/maintenance/CDImport.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "core/db/MusicFile.h"
#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

constexpr std::size_t kListTextBytes = 32;
constexpr int kMaxTrack = 99;  // the file names and the music lookup have two digits for it

// strtok: skip leading separators, take up to the next one, move past it.
bool NextToken(const std::string& strName, std::size_t& nPos, const char* pszSeparators,
               std::string& strToken) {
  const std::size_t nStart = strName.find_first_not_of(pszSeparators, nPos);
  if (nStart == std::string::npos) {
    nPos = strName.size();
    return false;
  }
  const std::size_t nEnd = strName.find_first_of(pszSeparators, nStart);
  strToken = ImportedText(
      strName.substr(nStart, nEnd == std::string::npos ? std::string::npos : nEnd - nStart));
  nPos = nEnd == std::string::npos ? strName.size() : nEnd + 1;
  return true;
}

// The CD number text: the three characters before the folder's last separator.
std::string CDNumberText(const std::string& strFolder) {
  return strFolder.size() >= 4 ? strFolder.substr(strFolder.size() - 4, 3) : std::string();
}

}  // namespace

TrackNameParts SplitTrackName(const std::string& strName, const char* pszTitleEnd) {
  TrackNameParts parts;
  std::size_t nPos = 0;
  parts.bTrack = NextToken(strName, nPos, "- ", parts.strTrack);
  parts.bArtist = NextToken(strName, nPos, "-", parts.strArtist);
  parts.bTitle = NextToken(strName, nPos, pszTitleEnd, parts.strTitle);
  return parts;
}

std::string CDTrack::ListLine() const {
  if (!Importable()) {
    // By its whole name: the track column is too narrow to tell "05.mp3" from "05 x.mp3".
    return '\t' + strFile + "\tNot importable: " + strNotImportable + '\t';
  }
  return strTrack + '\t' + CutBytes(strArtist, kListTextBytes) + '\t' +
         CutBytes(strTitle, kListTextBytes) + '\t';
}

CDFolder ScanCDFolder(const std::string& strPath, TagReader* pTags) {
  CDFolder folder;
  const std::string strFolder = FolderOfPath(strPath);
  folder.strCD = CDNumberText(strFolder);
  CDTrack current;  // texts carry over to the next entry, as strtok's callers' buffers did
  for (const std::string& strName : FolderNames(strFolder, false)) {
    if (strName[0] == '.') {
      continue;  // hidden files and folders are not tracks
    }
    CDTrack track = current;
    const TrackNameParts parts = SplitTrackName(strName);
    const bool bArtist = parts.bArtist;
    const bool bTitle = parts.bTitle;
    track.strTrack = parts.bTrack ? parts.strTrack : track.strTrack;
    track.strArtist = bArtist ? parts.strArtist : track.strArtist;
    track.strTitle = bTitle ? parts.strTitle : track.strTitle;
    bool bTagArtist = false;
    bool bTagTitle = false;
    FileTags tags;
    std::error_code error;
    if ((!bArtist || !bTitle) && pTags != nullptr &&
        !std::filesystem::is_directory(PathFromUtf8(strFolder + strName), error) &&
        pTags->ReadTags(strFolder + strName, tags)) {
      bTagArtist = !bArtist && !tags.strArtist.empty();
      bTagTitle = !bTitle && !tags.strTitle.empty();
      track.strArtist = bTagArtist ? ImportedText(tags.strArtist) : track.strArtist;
      track.strTitle = bTagTitle ? ImportedText(tags.strTitle) : track.strTitle;
    }
    std::string strNotImportable;
    if (!bArtist && !bTitle && !bTagArtist && !bTagTitle) {
      strNotImportable = "no artist or title in its name or tags";
    } else if (Atoi(track.strTrack) > kMaxTrack) {
      strNotImportable = "its track number is above 99";
    }
    if (!strNotImportable.empty()) {
      CDTrack skipped;
      skipped.strTrack = track.strTrack;
      skipped.strFile = ControlsAsSpaces(strName);
      skipped.strNotImportable = std::move(strNotImportable);
      folder.tracks.push_back(skipped);
      continue;
    }
    current = track;
    folder.tracks.push_back(track);
  }
  return folder;
}

std::string CDFolderRefusal(const std::string& strPath) {
  const std::string strFolder = FolderOfPath(strPath);
  const std::string strCD = CDNumberText(strFolder);
  if (strCD.size() == 3 && AllDigits(strCD)) {
    return {};
  }
  return "The folder " + strFolder +
         " is not a CD folder: its name must end in the three-digit CD number, as 012 does.\n"
         "Nothing was imported.";
}

std::string CDImportRefusal(const TrackStore& store, int nListed) {
  const long long nNeeded = static_cast<long long>(store.PlaylistCount()) + nListed;
  if (nNeeded <= store.PlaySize()) {
    return {};
  }
  return "Insufficient memory for update.\nIncrease the playlist size to a minimum of " +
         std::to_string(nNeeded + 1);
}

void ImportCDTracks(TrackStore& store, const CDFolder& folder) {
  for (const CDTrack& track : folder.tracks) {
    if (!track.Importable()) {
      continue;
    }
    const int nIndex = store.PlaylistCount();
    store.SetPlaylistEntry(nIndex, track.strArtist, track.strTitle, folder.strCD, track.strTrack,
                           -1);
    store.SetPlaylistCount(nIndex + 1);
  }
}

}  // namespace velvane
