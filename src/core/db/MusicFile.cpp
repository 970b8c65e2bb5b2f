#include "core/db/MusicFile.h"

#include <filesystem>
#include <set>
#include <utility>

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
  FolderEntries entries = ListFolder(strFolder);
  if (!bFilesOnly) {
    entries.files.merge(entries.others);
  }
  return std::move(entries.files);
}

FolderEntries ListFolder(const std::string& strFolder) {
  FolderEntries listing;
  std::error_code error;
  std::filesystem::directory_iterator entries(PathFromUtf8(strFolder), error);
  if (error) {
    return listing;
  }
  for (const auto& entry : entries) {
    (entry.is_regular_file(error) ? listing.files : listing.others)
        .insert(Utf8FromPath(entry.path().filename()));
  }
  return listing;
}

std::string NotAFileReason(const std::string& strPath) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path path = PathFromUtf8(strPath);
  const fs::file_status status = fs::status(path, error);
  switch (status.type()) {
    case fs::file_type::regular:
      return {};
    case fs::file_type::not_found:
      return fs::is_symlink(fs::symlink_status(path, error)) ? "it is a broken link"
                                                             : "it does not exist";
    case fs::file_type::directory:
      return "it is a folder, not a file";
    case fs::file_type::fifo:
      return "it is a FIFO, not a file";
    case fs::file_type::block:
    case fs::file_type::character:
      return "it is a device, not a file";
    case fs::file_type::socket:
      return "it is a socket, not a file";
    default:
      return error ? "it cannot be read: " + error.message() : "not a regular file";
  }
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
