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
  bool bImportable = true;  // false when neither the name nor the tags give artist or title
  std::string ListLine() const;
};

// A CD folder as listed: its CD number text and its entries in name order.
struct CDFolder {
  std::string strCD;  // the three characters before the folder's last separator, unchanged
  std::vector<CDTrack> tracks;
};

// Lists the folder holding `strPath`: every entry except those starting with ".", its name
// split as track (up to "-" or a blank), artist (up to "-"), title (up to "."), blanks kept.
// A part missing from the name comes from the file's tags (when `pTags` is given); failing
// that it keeps the previous entry's text, unless both are missing: then the entry is not
// importable.
CDFolder ScanCDFolder(const std::string& strPath, TagReader* pTags);

// "Insufficient memory for update..." when `nListed` more records would not fit the library,
// or empty when they do.
std::string CDImportRefusal(const TrackStore& store, int nListed);

// Appends the importable entries to the library (chart link -1), texts uncut. The capacity
// must have been checked with CDImportRefusal.
void ImportCDTracks(TrackStore& store, const CDFolder& folder);

inline constexpr const char* kCDImportedNotSaved =
    "The CD has been imported but not saved.\nYou should edit and save using the playlist editor";

}  // namespace velvane
