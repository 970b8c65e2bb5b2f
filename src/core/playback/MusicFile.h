#pragma once

#include <map>
#include <set>
#include <string>

namespace velvane {

// The names in a folder, in name order, so that a choice among them is the same on every
// machine; `bFilesOnly` keeps regular files only. A missing or unreadable folder has none.
std::set<std::string> FolderNames(const std::string& strFolder, bool bFilesOnly);

// Listings of regular files kept for a pass over a whole library, so that each CD folder is
// listed once however many of its tracks the library holds.
class FolderListings {
 public:
  const std::set<std::string>& FilesIn(const std::string& strFolder) {
    auto it = m_folders.find(strFolder);
    if (it == m_folders.end()) {
      it = m_folders.emplace(strFolder, FolderNames(strFolder, true)).first;
    }
    return it->second;
  }

 private:
  std::map<std::string, std::set<std::string>> m_folders;
};

// The first of `names` (in name order) that starts with `strPrefix`, or null.
const std::string* FirstStartingWith(const std::set<std::string>& names,
                                     const std::string& strPrefix);

// The music file of a library track: in `strMusicDir` + the CD number in three digits, the first
// file (in name order) whose name starts with the track number in two digits. Returns false when
// there is none.
bool FindMusicFile(const std::string& strMusicDir, const std::string& strCD,
                   const std::string& strTrack, std::string& strPath);

}  // namespace velvane
