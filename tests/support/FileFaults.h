#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "core/db/NativeFile.h"

namespace velvane {

// Ways to make a database folder hostile, for the fault tests. Linux only but for LockHolder:
// FIFOs, mounts, file modes and forked children have no like on Windows. A test that needs one
// of them (or a symbolic link, which needs privileges there) starts with POSIX_ONLY_TEST("why")
// and skips there; the functions exist on Windows only so that it builds, and do nothing.
#ifdef _WIN32
#define POSIX_ONLY_TEST(why) GTEST_SKIP() << "POSIX only: " << (why)
#else
#define POSIX_ONLY_TEST(why) static_cast<void>(0)
#endif

// Root reads and writes whatever the permissions say, so permission tests skip for root.
bool RunningAsRoot();

void MakeFifo(const std::filesystem::path& path);

// Mounts made by a test, undone at the end. The test process gets a mount namespace of its
// own first, so a test that dies leaves no mount behind. Each call returns an empty text, or
// why it cannot be done here (the test then skips).
class ScratchMounts {
 public:
  ScratchMounts() = default;
  ~ScratchMounts();
  ScratchMounts(const ScratchMounts&) = delete;
  ScratchMounts& operator=(const ScratchMounts&) = delete;

  // A tmpfs of `nBytes` on the empty folder `path`: a disk that is soon full.
  std::string Tmpfs(const std::filesystem::path& path, std::size_t nBytes);
  // The filled folder `path` becomes read-only: for root a read-only bind mount of itself,
  // for others a mode without write permission.
  std::string ReadOnly(const std::filesystem::path& path);
  // `path` (a file) becomes a mount point, which can be neither renamed nor replaced.
  std::string Pinned(const std::filesystem::path& path);

 private:
  std::string Mount(const char* pszSource, const std::filesystem::path& path, const char* pszType,
                    unsigned long nFlags, const char* pszData);
  std::vector<std::filesystem::path> m_mounts;
  std::vector<std::filesystem::path> m_readOnlyModes;
};

// Fills the file system holding `folder` to the last byte.
void FillDisk(const std::filesystem::path& folder);

// Runs `body` in `nCount` child processes at once and waits for them all; returns how many
// exited with a status other than 0. The children share nothing but the file system.
int RunInChildren(int nCount, const std::function<int(int nChild)>& body);

// Holds the database folder's lock from a child process, as another program would, until End()
// or until this object ends; the child takes it with FolderLock. POSIX only (never holds on
// Windows: such a test starts with POSIX_ONLY_TEST).
class ChildLockHolder {
 public:
  explicit ChildLockHolder(const std::string& strFolder);
  ~ChildLockHolder() { End(); }
  ChildLockHolder(const ChildLockHolder&) = delete;
  ChildLockHolder& operator=(const ChildLockHolder&) = delete;

  bool Holding() const { return m_bHolding; }
  // Tells the child to end and waits until it has.
  void End();

 private:
  int m_nPid = -1;
  int m_nGoPipe = -1;  // closing it ends the child
  bool m_bHolding = false;
};

// Holds the database folder's lock until this object ends, as another program would. The lock
// belongs to the open lock file (flock on POSIX, a file opened without sharing on Windows), so
// the program's own attempts in this process are refused just as another program's are.
class LockHolder {
 public:
  explicit LockHolder(const std::string& strFolder) {
    std::error_code error;
    m_bHolding = m_lock.TryLock(strFolder, error) == LockResult::kLocked;
  }
  bool Holding() const { return m_bHolding; }

 private:
  FolderLock m_lock;
  bool m_bHolding = false;
};

}  // namespace velvane
