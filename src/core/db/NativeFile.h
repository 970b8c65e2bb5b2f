#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace velvane {

// The operating system calls the core needs that differ between Windows and POSIX systems
// live here, so that every other core file builds from the C++ standard library alone.

// Every path the core holds is a UTF-8 text. The system calls read a narrow name in the
// system's code page on Windows, so a name with a letter outside it would not open there:
// paths reach the system only through these two conversions and OpenFile. On other systems
// a name is its bytes, passed through unchanged (a name that is not valid UTF-8 still works).
std::filesystem::path PathFromUtf8(std::string_view strUtf8Path);
// The UTF-8 text of a path from the system, such as a name read from a folder listing.
std::string Utf8FromPath(const std::filesystem::path& path);

// The one owner of an open C file: closed however the code that opened it is left.
struct FileCloser {
  void operator()(std::FILE* pFile) const noexcept { std::fclose(pFile); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// std::fopen for a UTF-8 path; null with errno set on failure. Modes should include "b":
// Windows would otherwise turn every line end into CR LF and back.
UniqueFile OpenFile(const std::filesystem::path& path, const char* pszMode);
inline UniqueFile OpenFile(const std::string& strUtf8Path, const char* pszMode) {
  return OpenFile(PathFromUtf8(strUtf8Path), pszMode);
}

// Writes the file's buffered data and has the system put it on the disk; false on failure.
bool FlushToDisk(std::FILE* pFile);

// Puts the folder's entries (new names, renames) on the disk. Where the system has no such
// call it does nothing and returns true.
bool SyncFolder(const std::string& strFolder);

// Gives the open file the permissions, and where the system allows the owner and group, of the
// file at `modelPath`, so a save does not take them from whoever saved last (a umask of 077 would
// shut the rest of the studio out). Nothing happens when `modelPath` does not exist, or on
// systems without such modes.
void TakeModeAndOwner(std::FILE* pFile, const std::filesystem::path& modelPath);

enum class LockResult {
  kLocked,
  kInUse,   // another program holds the lock
  kFailed,  // the lock file could not be made or locked (see the error)
};

inline constexpr const char* kLockFileName = "velvane.lock";

// One writer at a time per database folder: an advisory lock on the file velvane.lock (or
// another lock file named by the caller) in the folder. The system drops it when the holder ends,
// even after a crash, so a stale lock file never blocks anyone; the file itself is left in place on
// purpose (deleting it would let two programs lock two different files of the same name).
class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock() { Unlock(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Releases a lock held on another folder first.
  LockResult TryLock(const std::string& strFolder, std::error_code& error,
                     const char* pszLockFile = kLockFileName);
  void Unlock();
  // Whether this object holds the lock on exactly this folder setting.
  bool Holds(const std::string& strFolder) const {
    return m_handle != kNone && m_strFolder == strFolder;
  }

 private:
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t m_handle = kNone;  // file descriptor, or Windows file handle
  std::string m_strFolder;
};

}  // namespace velvane
