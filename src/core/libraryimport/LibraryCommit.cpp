#include <algorithm>
#include <set>
#include <vector>

#include "core/libraryimport/LibraryImport.h"
#include "core/maintenance/Relationships.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

SaveOutcome Refused(std::string strReason) {
  SaveOutcome outcome;
  outcome.result = SaveResult::kRefused;
  outcome.strReason = std::move(strReason);
  return outcome;
}

std::string Counted(int nCount, const char* pszOne, const char* pszMany) {
  return std::to_string(nCount) + ' ' + (nCount == 1 ? pszOne : pszMany);
}

}  // namespace

std::string LibraryImportSaved::Problem() const {
  if (!databases) {
    return "The library could not be saved (" + databases.Describe() +
           "), so nothing was imported.";
  }
  if (!imported) {
    return "The library was saved, but imported.dat could not be (" + imported.Describe() +
           "): importing these folders again would add the same files again.";
  }
  return {};
}

LibraryImportSaved SaveLibraryImport(TrackDatabase& database, const std::string& strFilesDir,
                                     const ImportedFiles& imported) {
  LibraryImportSaved saved;
  saved.databases = database.SaveBoth(strFilesDir);
  saved.imported = saved.databases ? SaveImportedFiles(strFilesDir, imported)
                                   : Refused("the databases were not saved");
  return saved;
}

LibraryImportSaved CommitLibraryImport(TrackDatabase& database, TrackStore& store,
                                       const std::string& strFilesDir,
                                       const LibraryImportPlan& plan,
                                       LibraryImportPlacement& placement, ImportedFiles& imported,
                                       bool bBuildLinks) {
  LibraryImportSaved saved;
  if (placement.placed.empty()) {
    return saved;  // nothing new: nothing to save
  }
  const int nCount = store.PlaylistCount();
  if (static_cast<long long>(nCount) + static_cast<long long>(placement.placed.size()) >
      store.PlaySize()) {
    saved.databases = Refused("the playlist size is too small");
    saved.imported = Refused("the databases were not saved");
    UndoLibraryImport(placement);
    return saved;
  }
  // The links as they were, so that a failed save changes nothing: the records themselves are
  // only appended, and the sources were not in `imported` (the plan left those out).
  std::vector<int> chartLinks(static_cast<std::size_t>(nCount));
  for (int p = 0; p < nCount; ++p) {
    chartLinks[static_cast<std::size_t>(p)] = store.Playlist(p).nChartLink;
  }
  std::vector<int> playlistLinks(static_cast<std::size_t>(store.ChartCount()));
  for (int c = 0; c < store.ChartCount(); ++c) {
    playlistLinks[static_cast<std::size_t>(c)] = store.Chart(c).nPlaylistLink;
  }
  int nIndex = nCount;
  for (const std::size_t i : placement.placed) {
    const ImportTrack& track = plan.tracks[i];
    store.SetPlaylistEntry(nIndex++, track.strArtist, track.strTitle, FormatInt(track.nCD, 3),
                           FormatInt(track.nTrack, 2), -1);
    imported.Put(track.strSource, {track.nCD, track.nTrack, track.nSize, track.nModified});
  }
  store.SetPlaylistCount(nIndex);
  if (bBuildLinks) {
    BuildAllRelationships(store, {});
  }
  saved = SaveLibraryImport(database, strFilesDir, imported);
  if (!saved.databases) {
    store.SetPlaylistCount(nCount);
    for (int p = 0; p < nCount; ++p) {
      store.SetPlaylistReference(chartLinks[static_cast<std::size_t>(p)], p);
    }
    for (int c = 0; c < store.ChartCount(); ++c) {
      store.SetChartReference(playlistLinks[static_cast<std::size_t>(c)], c);
    }
    for (const std::size_t i : placement.placed) {
      imported.Remove(plan.tracks[i].strSource);
    }
    UndoLibraryImport(placement);
  }
  return saved;
}

LibraryImportSummary SummariseLibraryImport(const LibraryImportPlan& plan,
                                            const LibraryImportPlacement* pPlacement) {
  LibraryImportSummary summary;
  summary.bPlanned = pPlacement == nullptr;
  summary.nAlreadyImported = plan.nAlreadyImported;
  summary.nNotImportable = static_cast<int>(plan.skipped.size());
  std::set<int> cds;
  const auto count = [&](const ImportTrack& track) {
    ++summary.nTracks;
    cds.insert(track.nCD);
  };
  if (pPlacement == nullptr) {
    std::for_each(plan.tracks.begin(), plan.tracks.end(), count);
  } else {
    for (const std::size_t i : pPlacement->placed) {
      count(plan.tracks[i]);
    }
    summary.nNotImportable += static_cast<int>(pPlacement->failed.size());
  }
  summary.nCDs = static_cast<int>(cds.size());
  summary.nFirstCD = cds.empty() ? 0 : *cds.begin();
  summary.nLastCD = cds.empty() ? 0 : *cds.rbegin();
  return summary;
}

std::string ImportProgress::Text() const {
  const std::string strDone = std::to_string(nDone);
  const std::string strOf = " of " + std::to_string(nTotal);
  switch (stage) {
    case ImportStage::kWalking:
      return "Looking for music files: " + strDone + " found";
    case ImportStage::kReadingTags:
      return "Reading tags: " + strDone + strOf + " files";
    case ImportStage::kPlacing:
      return "Placing files: " + strDone + strOf;
  }
  return {};
}

std::string LibraryImportSummary::Text() const {
  std::string strText =
      (bPlanned ? "Would import " : "Imported ") + Counted(nTracks, "track", "tracks");
  if (nCDs > 0) {
    strText += " on " + Counted(nCDs, "CD", "CDs") + " (CD " + FormatInt(nFirstCD, 3);
    strText += nLastCD != nFirstCD ? " to " + FormatInt(nLastCD, 3) + ")" : ")";
  }
  return strText + "; " + std::to_string(nAlreadyImported) + " already imported; " +
         std::to_string(nNotImportable) + " not importable";
}

}  // namespace velvane
