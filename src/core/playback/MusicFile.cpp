#include "core/playback/MusicFile.h"

#include <filesystem>
#include <set>

#include "core/db/Paths.h"

namespace velvane {

namespace {

// "%N.Ns" with blanks turned into zeros: at most N characters, right-aligned, zero-padded.
std::string ZeroPaddedPrefix(const std::string& strText, std::size_t nWidth) {
  const std::string strCut = strText.substr(0, nWidth);
  return std::string(nWidth - strCut.size(), '0') + strCut;
}

}  // namespace

bool FindMusicFile(const std::string& strMusicDir, const std::string& strCD,
                   const std::string& strTrack, std::string& strPath) {
  const std::string strFolder = strMusicDir + ZeroPaddedPrefix(strCD, 3) + kPathSeparator;
  const std::string strPrefix = ZeroPaddedPrefix(strTrack, 2);
  std::error_code error;
  std::filesystem::directory_iterator entries(strFolder, error);
  if (error) {
    return false;
  }
  // Name order makes the choice among several matching files the same on every machine.
  std::set<std::string> matches;
  for (const auto& entry : entries) {
    const std::string strName = entry.path().filename().string();
    if (strName.rfind(strPrefix, 0) == 0 && entry.is_regular_file(error)) {
      matches.insert(strName);
    }
  }
  if (matches.empty()) {
    return false;
  }
  strPath = strFolder + *matches.begin();
  return true;
}

}  // namespace velvane
