#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/libraryimport/LibraryImport.h"

namespace velvane {

// An audio file found by the walk.
struct FoundFile {
  std::string strName;  // within its folder
  std::uint64_t nSize = 0;
  std::int64_t nModified = 0;  // seconds since 1970 UTC
};

// The audio files of one folder (not of its subfolders): one album.
struct FoundAlbum {
  std::string strFolder;  // UTF-8, absolute, with the trailing separator
  std::vector<FoundFile> files;
};

struct LibraryWalk {
  std::vector<FoundAlbum> albums;  // in byte order of their folder
  std::vector<ImportSkip> skipped;
  std::string strRefusal;  // a source that is no folder, or the music folder missing
  bool bStopped = false;
};

// The walk of PlanLibraryImport (see there); the music folder itself is never walked, so that
// a source holding it does not import the library into itself.
LibraryWalk WalkSources(const std::vector<std::string>& sources, const std::string& strMusicDir,
                        const ImportProgressReport& progress, const std::atomic<bool>* pStop);

}  // namespace velvane
