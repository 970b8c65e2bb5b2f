#pragma once

#include <string>

namespace velvane {

// Folder settings end with the native separator and paths are formed by plain concatenation.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A folder as a folder setting: the native separator added when it lacks one ("/" is taken
// as one too). An empty text stays empty: no folder.
inline std::string WithTrailingSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != kPathSeparator && folder.back() != '/') {
    folder += kPathSeparator;
  }
  return folder;
}

// The folder part of a path, with its last separator ("/" counts as one too); empty when the
// path has none.
inline std::string FolderOfPath(const std::string& strPath) {
  const std::size_t nLast = strPath.find_last_of(std::string("/") + kPathSeparator);
  return nLast == std::string::npos ? std::string() : strPath.substr(0, nLast + 1);
}

}  // namespace velvane
