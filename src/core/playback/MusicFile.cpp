#include "core/playback/MusicFile.h"

#include <filesystem>
#include <set>

#include "core/db/NativeFile.h"
#include "core/db/Paths.h"

namespace velvane {

namespace {

// "%N.Ns" with blanks turned into zeros: at most N characters, right-aligned, zero-padded.
std::string ZeroPaddedPrefix(const std::string& strText, std::size_t nWidth) {
  const std::string strCut = strText.substr(0, nWidth);
  return std::string(nWidth - strCut.size(), '0') + strCut;
}

}  // namespace

std::set<std::string> FolderNames(const std::string& strFolder, bool bFilesOnly) {
  std::set<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator entries(PathFromUtf8(strFolder), error);
  if (error) {
    return names;
  }
  for (const auto& entry : entries) {
    if (!bFilesOnly || entry.is_regular_file(error)) {
      names.insert(Utf8FromPath(entry.path().filename()));
    }
  }
  return names;
}

const std::string* FirstStartingWith(const std::set<std::string>& names,
                                     const std::string& strPrefix) {
  const auto it = names.lower_bound(strPrefix);
  return it != names.end() && it->compare(0, strPrefix.size(), strPrefix) == 0 ? &*it : nullptr;
}

bool FindMusicFile(const std::string& strMusicDir, const std::string& strCD,
                   const std::string& strTrack, std::string& strPath) {
  const std::string strFolder = strMusicDir + ZeroPaddedPrefix(strCD, 3) + kPathSeparator;
  const std::set<std::string> names = FolderNames(strFolder, true);
  const std::string* pName = FirstStartingWith(names, ZeroPaddedPrefix(strTrack, 2));
  if (pName == nullptr) {
    return false;
  }
  strPath = strFolder + *pName;
  return true;
}

}  // namespace velvane
