#include "core/libraryimport/LibraryWalk.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <system_error>

#include "core/db/MusicFile.h"
#include "core/db/NativeFile.h"
#include "core/db/Paths.h"

namespace velvane {

namespace fs = std::filesystem;

namespace {

std::int64_t SecondsSince1970(fs::file_time_type time) {
  const auto system = std::chrono::file_clock::to_sys(time);
  return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

// Why a source cannot be walked at all, or empty.
std::string UnusableFolder(const std::string& strWhat, const std::string& strFolder) {
  if (strFolder.empty()) {
    return "No " + strWhat + " is set.";
  }
  std::error_code error;
  const fs::file_status status = fs::status(PathFromUtf8(strFolder), error);
  if (status.type() == fs::file_type::not_found) {
    return "The " + strWhat + " " + strFolder + " does not exist.";
  }
  if (error) {
    return "The " + strWhat + " " + strFolder + " cannot be read: " + error.message() + ".";
  }
  if (status.type() != fs::file_type::directory) {
    return "The " + strWhat + " " + strFolder + " is not a folder.";
  }
  return {};
}

class Walker {
 public:
  Walker(LibraryWalk& walk, const std::string& strMusicDir, const ImportProgressReport& progress,
         const std::atomic<bool>* pStop)
      : m_walk(walk), m_progress(progress), m_pStop(pStop) {
    std::error_code error;
    m_musicDir = fs::canonical(PathFromUtf8(strMusicDir), error);
  }

  // `strFolder` ends with a separator. `above` holds the real paths of the folders above it.
  void Walk(const std::string& strFolder, std::vector<fs::path>& above) {
    if (Stopped()) {
      return;
    }
    const fs::path path = PathFromUtf8(strFolder);
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    if (error) {
      Skip(strFolder, "it cannot be read: " + error.message());
      return;
    }
    if (std::find(above.begin(), above.end(), real) != above.end()) {
      Skip(strFolder, "a link loop: it leads back to " + Utf8FromPath(real) + ", not walked again");
      return;
    }
    // Reached twice (through two links, or two sources overlapping) or the library itself.
    if (real == m_musicDir || !m_walked.insert(real).second) {
      return;
    }
    // In name order, so that what is listed comes out the same on every machine.
    std::vector<std::pair<std::string, fs::directory_entry>> entries;
    fs::directory_iterator it(path, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
      std::string strName = Utf8FromPath(it->path().filename());
      if (!strName.empty() && strName.front() != '.') {
        entries.emplace_back(std::move(strName), *it);
      }
    }
    if (error) {
      Skip(strFolder, "it cannot be read: " + error.message());
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    FoundAlbum album;
    album.strFolder = strFolder;
    std::vector<std::string> subfolders;
    for (auto& [strName, entry] : entries) {
      if (Stopped()) {
        return;
      }
      std::error_code entryError;
      const fs::file_type type = entry.status(entryError).type();  // links followed
      if (type == fs::file_type::directory) {
        subfolders.push_back(std::move(strName));
      } else if (IsAudioFileName(strName)) {
        AddFile(album, entry, std::move(strName), type);
      }
    }
    if (!album.files.empty()) {
      m_walk.albums.push_back(std::move(album));
    }
    above.push_back(std::move(real));
    for (const std::string& strName : subfolders) {
      Walk(strFolder + strName + kPathSeparator, above);
    }
    above.pop_back();
  }

 private:
  void AddFile(FoundAlbum& album, const fs::directory_entry& entry, std::string strName,
               fs::file_type type) {
    const std::string strPath = album.strFolder + strName;
    if (type != fs::file_type::regular) {
      Skip(strPath, NotAFileReason(strPath));
      return;
    }
    std::error_code error;
    FoundFile file;
    file.nSize = entry.file_size(error);
    const fs::file_time_type modified = entry.last_write_time(error);
    if (error) {
      Skip(strPath, "it cannot be read: " + error.message());
      return;
    }
    file.nModified = SecondsSince1970(modified);
    file.strName = std::move(strName);
    album.files.push_back(std::move(file));
    if (m_progress) {
      m_progress({ImportStage::kWalking, ++m_nFound, 0});
    }
  }
  void Skip(const std::string& strPath, std::string strReason) {
    m_walk.skipped.push_back({strPath, std::move(strReason)});
  }
  bool Stopped() {
    m_walk.bStopped = m_walk.bStopped || (m_pStop != nullptr && m_pStop->load());
    return m_walk.bStopped;
  }

  LibraryWalk& m_walk;
  const ImportProgressReport& m_progress;
  const std::atomic<bool>* m_pStop;
  fs::path m_musicDir;
  std::set<fs::path> m_walked;
  int m_nFound = 0;
};

}  // namespace

std::string LibraryImportFolderRefusal(const std::vector<std::string>& sources,
                                       const std::string& strMusicDir) {
  std::string strRefusal = UnusableFolder("music folder", strMusicDir);
  if (sources.empty() && strRefusal.empty()) {
    strRefusal = "No folder to import was given.";
  }
  for (const std::string& strSource : sources) {
    if (strRefusal.empty()) {
      strRefusal = UnusableFolder("folder", strSource);
    }
  }
  return strRefusal;
}

LibraryWalk WalkSources(const std::vector<std::string>& sources, const std::string& strMusicDir,
                        const ImportProgressReport& progress, const std::atomic<bool>* pStop) {
  LibraryWalk walk;
  walk.strRefusal = LibraryImportFolderRefusal(sources, strMusicDir);
  std::vector<std::string> roots;
  for (const std::string& strSource : sources) {
    // The same file is the same source however the folder was named on the command line.
    std::error_code error;
    const fs::path absolute = fs::absolute(PathFromUtf8(strSource), error).lexically_normal();
    roots.push_back(WithTrailingSeparator(Utf8FromPath(absolute)));
  }
  if (!walk.strRefusal.empty()) {
    return walk;
  }
  Walker walker(walk, strMusicDir, progress, pStop);
  std::vector<fs::path> above;
  for (const std::string& strRoot : roots) {
    walker.Walk(strRoot, above);
  }
  // By the folders' paths, without the separator that ends them: "Rock" before "Rock Live".
  std::sort(walk.albums.begin(), walk.albums.end(), [](const FoundAlbum& a, const FoundAlbum& b) {
    return std::string_view(a.strFolder).substr(0, a.strFolder.size() - 1) <
           std::string_view(b.strFolder).substr(0, b.strFolder.size() - 1);
  });
  return walk;
}

}  // namespace velvane
