#include "support/FileFaults.h"

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <fstream>
#include <system_error>

#include "core/db/NativeFile.h"

namespace velvane {

namespace fs = std::filesystem;

#ifdef _WIN32

// No root, FIFOs, mounts or children here: every test that needs them skips first
// (POSIX_ONLY_TEST).
bool RunningAsRoot() {
  return false;
}
void MakeFifo(const fs::path& /*path*/) {}
ScratchMounts::~ScratchMounts() = default;
std::string ScratchMounts::Tmpfs(const fs::path& /*path*/, std::size_t /*nBytes*/) {
  return "no mounts on Windows";
}
std::string ScratchMounts::ReadOnly(const fs::path& /*path*/) {
  return "no mounts on Windows";
}
std::string ScratchMounts::Pinned(const fs::path& /*path*/) {
  return "no mounts on Windows";
}
void FillDisk(const fs::path& /*folder*/) {}
int RunInChildren(int nCount, const std::function<int(int nChild)>& /*body*/) {
  return nCount;
}
ChildLockHolder::ChildLockHolder(const std::string& /*strFolder*/) {}
void ChildLockHolder::End() {}

#else

bool RunningAsRoot() {
  return geteuid() == 0;
}

void MakeFifo(const fs::path& path) {
  mkfifo(path.c_str(), 0644);
}

ScratchMounts::~ScratchMounts() {
  for (auto it = m_mounts.rbegin(); it != m_mounts.rend(); ++it) {
    umount2(it->c_str(), MNT_DETACH);
  }
  for (const fs::path& path : m_readOnlyModes) {
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
  }
}

std::string ScratchMounts::Mount(const char* pszSource, const fs::path& path, const char* pszType,
                                 unsigned long nFlags, const char* pszData) {
  static const bool bPrivate =
      unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  if (!bPrivate) {
    return "no mount namespace of its own: " + std::generic_category().message(errno);
  }
  if (mount(pszSource, path.c_str(), pszType, nFlags, pszData) != 0) {
    return "mount is not allowed here: " + std::generic_category().message(errno);
  }
  if ((nFlags & MS_REMOUNT) == 0) {
    m_mounts.push_back(path);
  }
  return {};
}

std::string ScratchMounts::Tmpfs(const fs::path& path, std::size_t nBytes) {
  const std::string strSize = "size=" + std::to_string(nBytes);
  return Mount("tmpfs", path, "tmpfs", 0, strSize.c_str());
}

std::string ScratchMounts::ReadOnly(const fs::path& path) {
  if (!RunningAsRoot()) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    m_readOnlyModes.push_back(path);
    return {};
  }
  std::string strError = Mount(path.c_str(), path, nullptr, MS_BIND, nullptr);
  if (strError.empty()) {
    strError = Mount(nullptr, path, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr);
  }
  return strError;
}

std::string ScratchMounts::Pinned(const fs::path& path) {
  return Mount(path.c_str(), path, nullptr, MS_BIND, nullptr);
}

void FillDisk(const fs::path& folder) {
  std::ofstream filler(folder / "filler", std::ios::binary);
  const std::string block(4096, 'x');
  while (filler.write(block.data(), static_cast<std::streamsize>(block.size())).flush()) {
  }
  filler.clear();
  for (int i = 0; i < 4096 && filler.put('x').flush(); ++i) {
  }
}

namespace {

// The child runs `body` and exits with what it returns; -1 when no child could be made.
pid_t StartChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    _exit(body());
  }
  return pid;
}

}  // namespace

int RunInChildren(int nCount, const std::function<int(int nChild)>& body) {
  std::vector<pid_t> children;
  children.reserve(static_cast<std::size_t>(nCount));
  for (int i = 0; i < nCount; ++i) {
    children.push_back(StartChild([&] { return body(i); }));
  }
  int nFailed = 0;
  for (const pid_t pid : children) {
    int nStatus = 0;
    if (waitpid(pid, &nStatus, 0) != pid || !WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0) {
      ++nFailed;
    }
  }
  return nFailed;
}

// The child says through one pipe whether it got the lock, then holds it until the other pipe
// is closed.
ChildLockHolder::ChildLockHolder(const std::string& strFolder) {
  int ready[2] = {-1, -1};
  int go[2] = {-1, -1};
  if (pipe(ready) != 0 || pipe(go) != 0) {
    return;  // the descriptors are gone with the test process
  }
  m_nPid = StartChild([&] {
    close(ready[0]);
    close(go[1]);
    FolderLock lock;
    std::error_code error;
    const char cHeld = lock.TryLock(strFolder, error) == LockResult::kLocked ? '1' : '0';
    char cGo = 0;
    return write(ready[1], &cHeld, 1) == 1 && read(go[0], &cGo, 1) == 0 ? 0 : 1;
  });
  close(ready[1]);
  close(go[0]);
  char cHeld = '0';
  m_bHolding = read(ready[0], &cHeld, 1) == 1 && cHeld == '1';
  close(ready[0]);
  m_nGoPipe = go[1];
}

void ChildLockHolder::End() {
  if (m_nGoPipe >= 0) {
    close(m_nGoPipe);
    m_nGoPipe = -1;
  }
  if (m_nPid > 0) {
    waitpid(m_nPid, nullptr, 0);
    m_nPid = -1;
  }
  m_bHolding = false;
}

#endif

}  // namespace velvane
