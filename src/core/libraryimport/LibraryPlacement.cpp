#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/db/MusicFile.h"
#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "core/libraryimport/LibraryImport.h"
#include "core/text/Text.h"

namespace velvane {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxNameBytes = 199;  // under 200, whatever the file system
constexpr std::uint64_t kBlockBytes = 4096;

// Characters that Windows or Linux file names cannot hold.
std::string SafeForFileName(std::string_view text) {
  std::string strSafe(text);
  std::replace_if(
      strSafe.begin(), strSafe.end(),
      [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == '\x7F' ||
               std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
      },
      '_');
  return strSafe;
}

std::uint64_t OnDisk(std::uint64_t nBytes) {
  return (nBytes + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
}

class Placer {
 public:
  Placer(const LibraryImportPlan& plan, const std::string& strMusicDir,
         LibraryImportPlacement& placement, const ImportProgressReport& progress,
         const std::atomic<bool>* pStop)
      : m_plan(plan),
        m_strMusicDir(strMusicDir),
        m_placement(placement),
        m_progress(progress),
        m_pStop(pStop) {}

  // Links what it can (all with kCopy left for the copies); returns false when stopped.
  bool LinkAll(PlaceMethod method) {
    for (std::size_t i = 0; i < m_plan.tracks.size(); ++i) {
      if (Stopped()) {
        return false;
      }
      const ImportTrack& track = m_plan.tracks[i];
      std::string strTarget;
      if (!Prepare(i, strTarget)) {
        Done();
        continue;
      }
      if (method == PlaceMethod::kLink && Link(track, strTarget)) {
        Placed(i, strTarget);
      } else {
        m_copies.push_back(i);
      }
    }
    return true;
  }

  // Why the music folder's disk cannot take the copies, or empty.
  std::string SpaceRefusal() const {
    std::uint64_t nNeeded = 0;
    for (const std::size_t i : m_copies) {
      nNeeded += OnDisk(m_plan.tracks[i].nSize);
    }
    if (nNeeded == 0) {
      return {};
    }
    std::error_code error;
    const fs::space_info space = fs::space(PathFromUtf8(m_strMusicDir), error);
    if (error || space.available >= nNeeded) {
      return {};  // a disk that cannot tell is tried: a copy that fails is listed
    }
    return "Nothing was imported: the copies need " + std::to_string(nNeeded) +
           " bytes in the music folder " + m_strMusicDir + ", but only " +
           std::to_string(space.available) + " bytes are free.";
  }

  // Returns false when stopped.
  bool CopyAll() {
    for (const std::size_t i : m_copies) {
      if (Stopped()) {
        return false;
      }
      const ImportTrack& track = m_plan.tracks[i];
      const std::string strTarget = Target(track);
      std::error_code error;
      if (fs::copy_file(PathFromUtf8(track.strSource), PathFromUtf8(strTarget), error)) {
        ++m_placement.nCopies;
        Placed(i, strTarget);
      } else {
        std::error_code ignored;
        fs::remove(PathFromUtf8(strTarget), ignored);  // a copy cut short by a full disk
        Fail(track, "it could not be copied: " + error.message());
      }
    }
    std::sort(m_placement.placed.begin(), m_placement.placed.end());
    return true;
  }

 private:
  std::string Folder(const ImportTrack& track) const {
    return m_strMusicDir + FormatInt(track.nCD, 3) + kPathSeparator;
  }
  std::string Target(const ImportTrack& track) const { return Folder(track) + track.FileName(); }

  // The CD folder made and the target free; else the track is listed as failed.
  bool Prepare(std::size_t nIndex, std::string& strTarget) {
    const ImportTrack& track = m_plan.tracks[nIndex];
    if (const std::string strWhy = NotAFileReason(track.strSource); !strWhy.empty()) {
      Fail(track, strWhy);
      return false;
    }
    const std::string strFolder = Folder(track);
    std::error_code error;
    if (strFolder != m_strLastFolder) {
      if (fs::create_directory(PathFromUtf8(strFolder), error)) {
        m_placement.madeFolders.push_back(strFolder);
      } else if (error) {
        Fail(track, "its CD folder " + strFolder + " could not be made: " + error.message());
        return false;
      }
      m_strLastFolder = strFolder;
    }
    strTarget = strFolder + track.FileName();
    if (fs::exists(fs::symlink_status(PathFromUtf8(strTarget), error))) {
      Fail(track, "the music folder already holds " + strTarget);
      return false;
    }
    return true;
  }

  bool Link(const ImportTrack& track, const std::string& strTarget) {
    const fs::path source = PathFromUtf8(track.strSource);
    const fs::path target = PathFromUtf8(strTarget);
    std::error_code error;
    fs::create_hard_link(source, target, error);
    if (!error) {
      ++m_placement.nHardLinks;
      return true;
    }
    fs::create_symlink(source, target, error);
    if (!error) {
      ++m_placement.nSymbolicLinks;
      return true;
    }
    return false;
  }

  void Placed(std::size_t nIndex, const std::string& strTarget) {
    m_placement.placed.push_back(nIndex);
    m_placement.madeFiles.push_back(strTarget);
    Done();
  }
  void Fail(const ImportTrack& track, std::string strReason) {
    m_placement.failed.push_back({track.strSource, std::move(strReason)});
    Done();
  }
  void Done() {
    if (m_progress) {
      m_progress({ImportStage::kPlacing, ++m_nDone, static_cast<int>(m_plan.tracks.size())});
    }
  }
  bool Stopped() const { return m_pStop != nullptr && m_pStop->load(); }

  const LibraryImportPlan& m_plan;
  const std::string& m_strMusicDir;
  LibraryImportPlacement& m_placement;
  const ImportProgressReport& m_progress;
  const std::atomic<bool>* m_pStop;
  std::vector<std::size_t> m_copies;  // tracks still to copy, their CD folder made
  std::string m_strLastFolder;
  int m_nDone = 0;
};

}  // namespace

std::string ImportTrack::FileName() const {
  const std::size_t nNameStart = FolderOfPath(strSource).size();
  const std::size_t nDot = strSource.rfind('.');
  const std::string strExtension =
      nDot == std::string::npos || nDot < nNameStart ? std::string() : strSource.substr(nDot);
  const std::string strName = FormatInt(nTrack, 2) + " - " + strArtist + " - " + strTitle;
  return SafeForFileName(CutBytes(strName, kMaxNameBytes - strExtension.size()) + strExtension);
}

LibraryImportPlacement PlaceLibraryImport(const LibraryImportPlan& plan,
                                          const std::string& strMusicDir, PlaceMethod method,
                                          const ImportProgressReport& progress,
                                          const std::atomic<bool>* pStop) {
  LibraryImportPlacement placement;
  if (!plan.strRefusal.empty() || plan.bStopped) {
    placement.strRefusal = plan.bStopped ? "The plan is incomplete." : plan.strRefusal;
    return placement;
  }
  Placer placer(plan, strMusicDir, placement, progress, pStop);
  bool bDone = placer.LinkAll(method);
  if (bDone) {
    placement.strRefusal = placer.SpaceRefusal();
    if (!placement.strRefusal.empty()) {
      UndoLibraryImport(placement);
      placement.failed.clear();
      return placement;
    }
    bDone = placer.CopyAll();
  }
  if (!bDone) {
    UndoLibraryImport(placement);
    placement.bCancelled = true;
  }
  return placement;
}

void UndoLibraryImport(LibraryImportPlacement& placement) {
  std::error_code error;
  for (auto it = placement.madeFiles.rbegin(); it != placement.madeFiles.rend(); ++it) {
    fs::remove(PathFromUtf8(*it), error);
  }
  for (auto it = placement.madeFolders.rbegin(); it != placement.madeFolders.rend(); ++it) {
    fs::remove(PathFromUtf8(*it), error);  // only when empty: never what was there before
  }
  placement.madeFiles.clear();
  placement.madeFolders.clear();
  placement.placed.clear();
}

}  // namespace velvane
