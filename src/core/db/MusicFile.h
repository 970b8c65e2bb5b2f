#pragma once

#include <map>
#include <set>
#include <string>

namespace velvane {

// The names in a folder, in name order, so that a choice among them is the same on every
// machine; `bFilesOnly` keeps regular files only. A missing or unreadable folder has none.
std::set<std::string> FolderNames(const std::string& strFolder, bool bFilesOnly);

// The entries of a folder, split into regular files (following links) and the rest.
struct FolderEntries {
  std::set<std::string> files;
  std::set<std::string> others;  // folders, FIFOs, devices, sockets, broken links
};
FolderEntries ListFolder(const std::string& strFolder);

// Listings kept for a pass over a whole library, so that each CD folder is listed once
// however many of its tracks the library holds.
class FolderListings {
 public:
  const FolderEntries& In(const std::string& strFolder) {
    auto it = m_folders.find(strFolder);
    if (it == m_folders.end()) {
      it = m_folders.emplace(strFolder, ListFolder(strFolder)).first;
    }
    return it->second;
  }
  const std::set<std::string>& FilesIn(const std::string& strFolder) { return In(strFolder).files; }

 private:
  std::map<std::string, FolderEntries> m_folders;
};

// Why the entry at `strPath` cannot be read as a music file, from its type alone (it is
// never opened, so a FIFO cannot block): empty for a regular file, else "it does not exist",
// "it is a folder", "it is a FIFO", "it is a device", ...
std::string NotAFileReason(const std::string& strPath);

// The first of `names` (in name order) that starts with `strPrefix`, or null.
const std::string* FirstStartingWith(const std::set<std::string>& names,
                                     const std::string& strPrefix);

// The music file of a library track: in `strMusicDir` + the CD number in three digits, the first
// file (in name order) whose name starts with the track number in two digits. Returns false when
// there is none.
bool FindMusicFile(const std::string& strMusicDir, const std::string& strCD,
                   const std::string& strTrack, std::string& strPath);

}  // namespace velvane
