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

}  // namespace velvane
