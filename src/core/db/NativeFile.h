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

// Asks the system to start writing these bytes of the file, already handed to it, to the disk
// and returns at once, so that the disk works while the rest is being made and FlushToDisk
// waits only for the tail. Only a hint: nothing happens where the system has no such call.
void StartWriteBack(std::FILE* pFile, std::uint64_t nOffset, std::uint64_t nBytes);

// Puts the folder's entries (new names, renames) on the disk. Where the system has no such
// call it does nothing and returns true.
bool SyncFolder(const std::string& strFolder);

// Gives the open file the permissions, and where the system allows the owner and group, of the
// file at `modelPath`, so a save does not take them from whoever saved last (a umask of 077 would
// shut the rest of the studio out). Nothing happens when `modelPath` does not exist, or on
// systems without such modes.
void TakeModeAndOwner(std::FILE* pFile, const std::filesystem::path& modelPath);

// Memory for the whole content of a file. On Linux it comes in pages of 2 MB where the system
// offers them: read into ordinary 4 KB pages, a database of tens of MB costs a page fault per
// page, most of its load time. Elsewhere it comes from the heap. Not initialised.
class TextBuffer {
 public:
  TextBuffer() = default;
  explicit TextBuffer(std::size_t nCapacity);
  ~TextBuffer();
  TextBuffer(TextBuffer&& other) noexcept;
  TextBuffer& operator=(TextBuffer&& other) noexcept;
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  char* Data() { return m_pData; }
  std::size_t Capacity() const { return m_nCapacity; }
  // The bytes in use, at most the capacity.
  void SetSize(std::size_t nSize) { m_nSize = nSize < m_nCapacity ? nSize : m_nCapacity; }
  std::string_view View() const { return {m_pData, m_nSize}; }

 private:
  char* m_pData = nullptr;
  std::size_t m_nCapacity = 0;
  std::size_t m_nSize = 0;
  bool m_bMapped = false;  // from mmap, not the heap
};

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
