#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/db/SafeSave.h"
#include "core/db/TrackDatabase.h"
#include "core/db/TrackStore.h"
#include "core/libraryimport/ImportedFiles.h"
#include "core/ports/TagReader.h"

namespace velvane {

// Bringing a whole collection of tagged music into the CD / track library, in three steps that
// the tool runs one after the other and the administration dialog runs with a preview between:
//
//   1. PlanLibraryImport   walks the folders, reads the tags and numbers every new file with a
//                          CD and a track. Reads only: a dry run stops here. (worker thread)
//   2. PlaceLibraryImport  puts each planned file into the music folder as
//                          CCC/TT - Artist - Title.ext (link or copy). (worker thread)
//   3. CommitLibraryImport appends the records, builds the relationships and saves
//                          playlist.dat, charts.dat and imported.dat. (the thread owning the
//                          library; RadioCore::CommitLibraryImport for the main window's)
//
// Nothing is placed or saved when the whole import cannot fit (a refusal), and a stopped or
// failed step removes what it placed: the library, the music folder and the databases are
// then as before. Source files are never moved, changed or deleted.

// How far a step has come; told after each file, on the thread running the step.
enum class ImportStage {
  kWalking,      // nDone audio files found so far; nTotal is 0 (not known yet)
  kReadingTags,  // nDone of nTotal new files read
  kPlacing,      // nDone of nTotal planned files placed
};
struct ImportProgress {
  ImportStage stage = ImportStage::kWalking;
  int nDone = 0;
  int nTotal = 0;
  // "Looking for music files: N found", "Reading tags: N of M files", "Placing files: N of M"
  std::string Text() const;
};
using ImportProgressReport = std::function<void(const ImportProgress&)>;

// A file (or a folder of the walk) that is not imported, and why.
struct ImportSkip {
  std::string strSource;
  std::string strReason;
  // "Not importable<TAB>path<TAB>reason"
  std::string ListLine() const;
};

// One planned track.
struct ImportTrack {
  int nCD = 0;            // 1..999
  int nTrack = 0;         // 1..99
  std::string strArtist;  // as the record stores them: safe to store, at most 127 bytes
  std::string strTitle;
  std::string strSource;  // the source file's path, UTF-8
  std::uint64_t nSize = 0;
  std::int64_t nModified = 0;  // seconds since 1970 UTC

  // Its name in the CD folder: "TT - Artist - Title.ext", with the characters that file names
  // cannot hold on Windows or Linux as "_" and cut at a character boundary to stay under 200
  // bytes; the extension is the source's.
  std::string FileName() const;
  // "CCC<TAB>TT<TAB>artist<TAB>title<TAB>source"
  std::string ListLine() const;
};

struct LibraryImportPlan {
  std::vector<ImportTrack> tracks;  // in CD then track order
  std::vector<ImportSkip> skipped;  // not importable, in walk order (link loops included)
  int nAlreadyImported = 0;         // audio files imported.dat already names
  // Why nothing may be imported (LibraryImportFolderRefusal, or the playlist size or the free
  // CD numbers too small), or empty. Then nothing may be placed.
  std::string strRefusal;
  bool bStopped = false;  // *pStop was set: incomplete, must not be placed
};

// Audio files are taken by extension, any letter case: mp3, flac, ogg, oga, opus, m4a, mp4,
// aac, wav, aif, aiff, wma.
bool IsAudioFileName(const std::string& strName);

// Why an import of `sources` into `strMusicDir` cannot start (no folder given; a folder, or the
// music folder, missing, not a folder or unreadable), or empty. Step 1 refuses the same way;
// this tells it before anything is loaded or locked.
std::string LibraryImportFolderRefusal(const std::vector<std::string>& sources,
                                       const std::string& strMusicDir);

// Step 1. Walks each of `sources` (folders, UTF-8) recursively, links followed: entries whose
// name starts with "." are passed over, as are entries that are neither regular files nor
// folders (an ImportSkip names those with an audio file's name: a FIFO, a broken link); a link
// that leads back to a folder above it, and a subfolder that cannot be read, end that branch
// with an ImportSkip; a folder reached twice (two links, overlapping sources) is walked once,
// and the music folder never. Files that `imported` names count as already
// imported and are not read. The audio files of each folder are one album; albums in byte
// order of their path, tracks by disc tag, track tag, then file name. A new album takes the
// lowest free CD number (free: no entry of that three-digit name in `strMusicDir` and no
// library record using it), and its tracks 1, 2, 3 ...; past 99 it continues on the next free
// CD. New files of an album imported before continue on its last CD while track numbers
// remain (that CD is then no other album's). Artist and title come from the tags (`pTags`, may be
// null), else from a file name read as the CD import reads "TT - Artist - Title", else "Unknown
// Artist" and the name without its extension. Reads only. Once `*pStop` is set it returns at the
// next file, bStopped set.
LibraryImportPlan PlanLibraryImport(const std::vector<std::string>& sources,
                                    const TrackStore& store, const ImportedFiles& imported,
                                    const std::string& strMusicDir, TagReader* pTags,
                                    const ImportProgressReport& progress = {},
                                    const std::atomic<bool>* pStop = nullptr);

enum class PlaceMethod {
  kLink,  // a hard link where source and music folder share a file system, else a symbolic
          // link, else a copy
  kCopy,  // always a copy
};

// What step 2 did. Only the planned tracks in `placed` have their file and may be committed.
struct LibraryImportPlacement {
  std::vector<std::size_t> placed;  // indices into the plan's tracks, in plan order
  std::vector<ImportSkip> failed;   // could not be linked or copied, with the reason
  int nHardLinks = 0;
  int nSymbolicLinks = 0;
  int nCopies = 0;
  // Why nothing was placed (the music folder's disk cannot take the copies), or empty.
  std::string strRefusal;
  bool bCancelled = false;  // *pStop was set: everything placed has been removed again
  // What was made, so that it can be removed (UndoLibraryImport).
  std::vector<std::string> madeFiles;
  std::vector<std::string> madeFolders;
};

// Step 2. Places every track of a plan without refusal into `strMusicDir` + "CCC/", making the
// CD folders it needs. Links are made first; the files that must be copied are then checked
// against the free space of the music folder's disk as a whole (refused: what was linked is
// removed, nothing stays) and copied. A file that cannot be placed (it is gone, a file of its
// name is already there, the disk fails) is listed in `failed` and the rest goes on. Once
// `*pStop` is set it removes what it placed and returns with bCancelled.
LibraryImportPlacement PlaceLibraryImport(const LibraryImportPlan& plan,
                                          const std::string& strMusicDir, PlaceMethod method,
                                          const ImportProgressReport& progress = {},
                                          const std::atomic<bool>* pStop = nullptr);

// Removes the files and the CD folders a placement made (a folder only when empty again), so
// that a Cancel after step 2 leaves nothing; `placed` is emptied.
void UndoLibraryImport(LibraryImportPlacement& placement);

// What step 3 did.
struct LibraryImportSaved {
  // The first failed save of playlist.dat and charts.dat (kRefused when the library had no
  // room or the folder lock is not held), else kSaved. When it failed, nothing changed: the
  // library and `imported` are as before and the placed files were removed.
  SaveOutcome databases;
  // The save of imported.dat. A failure here keeps the import (the databases hold it), but a
  // later import of the same folders would take these files again.
  SaveOutcome imported;
  bool Saved() const { return databases && imported; }
  // Why not everything was saved, in one line for the operator; empty when it was.
  std::string Problem() const;
};

// Step 3. Appends one record per placed track to the library (chart link -1), links library
// and charts as "Build All Relationships" does (unless `bBuildLinks` is false), adds the placed
// sources to `imported`, and saves playlist.dat, then charts.dat, then imported.dat through
// the rotation (SaveLibraryImport). `database` is the one loaded into `store`, holding the
// folder lock.
LibraryImportSaved CommitLibraryImport(TrackDatabase& database, TrackStore& store,
                                       const std::string& strFilesDir,
                                       const LibraryImportPlan& plan,
                                       LibraryImportPlacement& placement, ImportedFiles& imported,
                                       bool bBuildLinks);

// The saves of step 3 on their own: both databases, then (when they were saved) imported.dat.
LibraryImportSaved SaveLibraryImport(TrackDatabase& database, const std::string& strFilesDir,
                                     const ImportedFiles& imported);

// The counts of an import, for its last line.
struct LibraryImportSummary {
  int nTracks = 0;
  int nCDs = 0;
  int nFirstCD = 0;
  int nLastCD = 0;
  int nAlreadyImported = 0;
  int nNotImportable = 0;
  bool bPlanned = false;  // counts of a plan not placed (a dry run, the preview)

  // "Imported N tracks on M CDs (CD a to b); K already imported; L not importable", or for a
  // plan "Would import ...".
  std::string Text() const;
};

// The summary of a placement (the tracks placed, the files that failed counted as not
// importable) or, with `pPlacement` null, of the plan alone.
LibraryImportSummary SummariseLibraryImport(const LibraryImportPlan& plan,
                                            const LibraryImportPlacement* pPlacement);

}  // namespace velvane
