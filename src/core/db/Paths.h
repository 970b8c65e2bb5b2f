#pragma once

namespace velvane {

// Folder settings end with the native separator and paths are formed by plain concatenation.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace velvane
