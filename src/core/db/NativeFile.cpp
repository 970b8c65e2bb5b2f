#include "core/db/NativeFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velvane {

#ifdef _WIN32

// The system's own conversion, not std::filesystem's: a stored name that is not valid UTF-8
// (an old Windows-1252 one) becomes U+FFFD and simply is not found, where the standard
// library would throw.
std::filesystem::path PathFromUtf8(std::string_view strUtf8Path) {
  if (strUtf8Path.empty()) {
    return {};
  }
  const int nBytes = static_cast<int>(strUtf8Path.size());
  const int nWide = MultiByteToWideChar(CP_UTF8, 0, strUtf8Path.data(), nBytes, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(nWide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, strUtf8Path.data(), nBytes, wide.data(), nWide);
  return std::filesystem::path(std::move(wide));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) {
    return {};
  }
  const int nWide = static_cast<int>(wide.size());
  const int nBytes =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
  std::string strUtf8(static_cast<std::size_t>(nBytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, strUtf8.data(), nBytes, nullptr, nullptr);
  return strUtf8;
}

UniqueFile OpenFile(const std::filesystem::path& path, const char* pszMode) {
  const std::string_view mode(pszMode);
  const std::wstring wideMode(mode.begin(), mode.end());  // ASCII letters only
  return UniqueFile(_wfopen(path.c_str(), wideMode.c_str()));
}

#else

std::filesystem::path PathFromUtf8(std::string_view strUtf8Path) {
  return std::filesystem::path(std::string(strUtf8Path));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  return path.native();
}

UniqueFile OpenFile(const std::filesystem::path& path, const char* pszMode) {
  return UniqueFile(std::fopen(path.c_str(), pszMode));
}

#endif

bool FlushToDisk(std::FILE* pFile) {
  if (std::fflush(pFile) != 0) {
    return false;
  }
#ifdef _WIN32
  return _commit(_fileno(pFile)) == 0;
#else
  return fsync(fileno(pFile)) == 0;
#endif
}

void StartWriteBack([[maybe_unused]] std::FILE* pFile, [[maybe_unused]] std::uint64_t nOffset,
                    [[maybe_unused]] std::uint64_t nBytes) {
#ifdef __linux__
  sync_file_range(fileno(pFile), static_cast<off_t>(nOffset), static_cast<off_t>(nBytes),
                  SYNC_FILE_RANGE_WRITE);
#endif
}

#ifdef _WIN32

// A new file takes its permissions from the folder's, as the replaced one did.
void TakeModeAndOwner(std::FILE* /*pFile*/, const std::filesystem::path& /*model*/) {}

// NTFS journals its folder changes; a folder cannot be flushed without extra privileges.
bool SyncFolder(const std::string& /*strFolder*/) {
  return true;
}

// A file opened with no sharing at all cannot be opened again until its holder closes it or
// ends, which is what the lock needs.
LockResult FolderLock::TryLock(const std::string& strFolder, std::error_code& error,
                               const char* pszLockFile) {
  Unlock();
  const std::filesystem::path path = PathFromUtf8(strFolder + pszLockFile);
  HANDLE hFile = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD nError = hFile == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  if (nError == ERROR_ACCESS_DENIED) {
    // A lock file another user made, or a read-only one, locks as well when opened to read.
    hFile = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
      nError = ERROR_SHARING_VIOLATION;
    }
  }
  if (hFile == INVALID_HANDLE_VALUE) {
    error.assign(static_cast<int>(nError), std::system_category());
    return nError == ERROR_SHARING_VIOLATION ? LockResult::kInUse : LockResult::kFailed;
  }
  m_handle = reinterpret_cast<std::intptr_t>(hFile);
  m_strFolder = strFolder;
  return LockResult::kLocked;
}

void FolderLock::Unlock() {
  if (m_handle != kNone) {
    CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = kNone;
  }
  m_strFolder.clear();
}

#else

namespace {

// TakeModeAndOwner for an open descriptor; false when `modelPath` does not exist.
bool TakeModeAndOwnerOf(int nFd, const std::filesystem::path& modelPath) {
  struct stat model {};
  if (stat(modelPath.c_str(), &model) != 0) {
    return false;
  }
  // Only root may give a file away; anyone may give it a group they belong to. A failure
  // leaves this program's user and group, which is all an ordinary user can do.
  if (fchown(nFd, model.st_uid, model.st_gid) != 0 &&
      fchown(nFd, static_cast<uid_t>(-1), model.st_gid) != 0) {
    errno = 0;
  }
  // After the owner: changing it may clear the set-id bits.
  if (fchmod(nFd, model.st_mode & 07777) != 0) {
    errno = 0;
  }
  return true;
}

// A lock file this program makes is shared with every studio user who may write the databases:
// it takes the access of the folder's playlist.dat, or read and write for all when there is none
// yet, never what this process's umask leaves (077 would lock the others out of the folder).
void ShareNewLockFile(int nFd, const std::string& strFolder) {
  if (!TakeModeAndOwnerOf(nFd, strFolder + "playlist.dat") && fchmod(nFd, 0666) != 0) {
    errno = 0;
  }
}

}  // namespace

void TakeModeAndOwner(std::FILE* pFile, const std::filesystem::path& modelPath) {
  TakeModeAndOwnerOf(fileno(pFile), modelPath);
}

bool SyncFolder(const std::string& strFolder) {
  const int nFd = open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (nFd < 0) {
    return false;
  }
  const bool bSynced = fsync(nFd) == 0;
  close(nFd);
  return bSynced;
}

// flock belongs to the open file, not to the process: a second FolderLock in the same
// program is refused like another program, and a child process never inherits it (CLOEXEC).
LockResult FolderLock::TryLock(const std::string& strFolder, std::error_code& error,
                               const char* pszLockFile) {
  Unlock();
  const std::string strPath = strFolder + pszLockFile;
  int nFd = open(strPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (nFd >= 0) {
    ShareNewLockFile(nFd, strFolder);
  } else if (errno == EEXIST) {
    nFd = open(strPath.c_str(), O_RDWR | O_CLOEXEC);
  }
  const int nOpenError = errno;
  if (nFd < 0 && (nOpenError == EACCES || nOpenError == EROFS)) {
    // A lock file another user made, or a read-only folder: flock needs no write access.
    nFd = open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (nFd < 0) {
    error.assign(nOpenError, std::generic_category());
    return LockResult::kFailed;
  }
  if (flock(nFd, LOCK_EX | LOCK_NB) != 0) {
    const int nError = errno;
    close(nFd);
    error.assign(nError, std::generic_category());
    return nError == EWOULDBLOCK ? LockResult::kInUse : LockResult::kFailed;
  }
  m_handle = nFd;
  m_strFolder = strFolder;
  return LockResult::kLocked;
}

void FolderLock::Unlock() {
  if (m_handle != kNone) {
    close(static_cast<int>(m_handle));  // drops the lock
    m_handle = kNone;
  }
  m_strFolder.clear();
}

#endif

namespace {

#ifdef __linux__
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSmallestMapped = kHugePage / 2;  // smaller files gain nothing
#endif

}  // namespace

TextBuffer::TextBuffer(std::size_t nCapacity) : m_nCapacity(nCapacity) {
#ifdef __linux__
  if (nCapacity >= kSmallestMapped) {
    // Whole huge pages, so the kernel can back all of it with them.
    m_nCapacity = (nCapacity + kHugePage - 1) / kHugePage * kHugePage;
    void* pMapped =
        mmap(nullptr, m_nCapacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pMapped == MAP_FAILED) {
      throw std::bad_alloc();
    }
    madvise(pMapped, m_nCapacity, MADV_HUGEPAGE);  // a hint: without it, 4 KB pages work too
    m_pData = static_cast<char*>(pMapped);
    m_bMapped = true;
    return;
  }
#endif
  m_pData = static_cast<char*>(std::malloc(nCapacity == 0 ? 1 : nCapacity));
  if (m_pData == nullptr) {
    throw std::bad_alloc();
  }
}

TextBuffer::~TextBuffer() {
#ifdef __linux__
  if (m_bMapped) {
    munmap(m_pData, m_nCapacity);
    return;
  }
#endif
  std::free(m_pData);
}

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : m_pData(std::exchange(other.m_pData, nullptr)),
      m_nCapacity(std::exchange(other.m_nCapacity, 0)),
      m_nSize(std::exchange(other.m_nSize, 0)),
      m_bMapped(std::exchange(other.m_bMapped, false)) {}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
  if (this != &other) {
    TextBuffer old(std::move(*this));
    m_pData = std::exchange(other.m_pData, nullptr);
    m_nCapacity = std::exchange(other.m_nCapacity, 0);
    m_nSize = std::exchange(other.m_nSize, 0);
    m_bMapped = std::exchange(other.m_bMapped, false);
  }
  return *this;
}

}  // namespace velvane
