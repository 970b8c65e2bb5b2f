#pragma once

#include <string>
#include <vector>

#include "core/db/TrackStore.h"
#include "core/ports/TagReader.h"

namespace velvane {

// One entry of a CD folder, split into track, artist and title.
struct CDTrack {
  std::string strTrack;
  std::string strArtist;
  std::string strTitle;
  std::string strNotImportable;  // why the entry is skipped, or empty
  std::string strFile;           // a skipped entry's name, as the list shows it
  bool Importable() const { return strNotImportable.empty(); }
  // Track, artist and title; a skipped entry's name and why it is skipped.
  std::string ListLine() const;
};

// A CD folder as listed: its CD number text and its entries in name order.
struct CDFolder {
  std::string strCD;  // the three characters before the folder's last separator, unchanged
  std::vector<CDTrack> tracks;
};

// A file name read as the CD import reads it: the track up to the first "-" or blank, the
// artist up to the next "-", the title up to the next of `pszTitleEnd` (the whole rest when it
// is empty), each made safe to store (ImportedText), blanks kept. A part the name lacks is
// missing, its text empty.
struct TrackNameParts {
  std::string strTrack;
  std::string strArtist;
  std::string strTitle;
  bool bTrack = false;
  bool bArtist = false;
  bool bTitle = false;
};
TrackNameParts SplitTrackName(const std::string& strName, const char* pszTitleEnd = ".");

// Why the folder holding `strPath` cannot be imported as a CD (its name does not end in the
// three-digit CD number), or empty.
std::string CDFolderRefusal(const std::string& strPath);

// Lists the folder holding `strPath`: every entry except those starting with ".", its name
// split as track (up to "-" or a blank), artist (up to "-"), title (up to "."), blanks kept.
// A part missing from the name comes from the file's tags (when `pTags` is given); failing
// that it keeps the previous entry's text, unless both are missing: then the entry is not
// importable, as is one whose track number is above 99. Texts are made safe to store
// (ImportedText): a name cannot break a line or a field of the library.
CDFolder ScanCDFolder(const std::string& strPath, TagReader* pTags);

// "Insufficient memory for update..." when `nListed` more records would not fit the library,
// or empty when they do.
std::string CDImportRefusal(const TrackStore& store, int nListed);

// Appends the importable entries to the library (chart link -1). The capacity
// must have been checked with CDImportRefusal.
void ImportCDTracks(TrackStore& store, const CDFolder& folder);

inline constexpr const char* kCDImportedNotSaved =
    "The CD has been imported but not saved.\nYou should edit and save using the playlist editor";

}  // namespace velvane
