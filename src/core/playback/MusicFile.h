#pragma once

#include <string>

namespace velvane {

// The music file of a library track: in `strMusicDir` + the CD number in three digits, the first
// file (in name order) whose name starts with the track number in two digits. Returns false when
// there is none.
bool FindMusicFile(const std::string& strMusicDir, const std::string& strCD,
                   const std::string& strTrack, std::string& strPath);

}  // namespace velvane
