#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>

namespace velvane {

// The operating system calls the core needs that differ between Windows and POSIX systems
// live here, so that every other core file builds from the C++ standard library alone.

// Writes the file's buffered data and has the system put it on the disk; false on failure.
bool FlushToDisk(std::FILE* pFile);

// Puts the folder's entries (new names, renames) on the disk. Where the system has no such
// call it does nothing and returns true.
bool SyncFolder(const std::string& strFolder);

// Gives the open file the permissions, and where the system allows the owner and group, of the
// file at `strModel`, so a save does not take them from whoever saved last (a umask of 077 would
// shut the rest of the studio out). Nothing happens when `strModel` does not exist, or on
// systems without such modes.
void TakeModeAndOwner(std::FILE* pFile, const std::string& strModel);

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
