#include <algorithm>
#include <array>
#include <cctype>
#include <tuple>
#include <unordered_map>

#include "core/db/MusicFile.h"
#include "core/db/Paths.h"
#include "core/libraryimport/LibraryImport.h"
#include "core/libraryimport/LibraryWalk.h"
#include "core/maintenance/CDImport.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

constexpr int kLastCD = 999;
constexpr int kTracksPerCD = 99;  // two digits in the file names and the library
constexpr const char* kUnknownArtist = "Unknown Artist";

// A new file of an album with what its tags and name say.
struct Candidate {
  const FoundFile* pFile = nullptr;
  int nDisc = 0;
  int nTrack = 0;
  std::string strArtist;
  std::string strTitle;
};

// Fills what the tags left empty from the name: "TT - Artist - Title" read as the CD import
// reads it (only a name starting with a track number has that form), then "Unknown Artist"
// and the name without its extension.
void TextsFromName(const std::string& strName, Candidate& candidate) {
  const std::string strStem = strName.substr(0, strName.rfind('.'));
  const TrackNameParts parts = SplitTrackName(strStem, "");
  if (parts.bTrack && AllDigits(parts.strTrack)) {
    if (candidate.strArtist.empty()) {
      candidate.strArtist = TrimBlanks(parts.strArtist);
    }
    if (candidate.strTitle.empty()) {
      candidate.strTitle = TrimBlanks(parts.strTitle);
    }
  }
  if (candidate.strArtist.empty()) {
    candidate.strArtist = kUnknownArtist;
  }
  if (candidate.strTitle.empty()) {
    candidate.strTitle = ImportedText(strStem);
  }
}

Candidate ReadCandidate(const std::string& strFolder, const FoundFile& file, TagReader* pTags) {
  Candidate candidate;
  candidate.pFile = &file;
  FileTags tags;
  if (pTags != nullptr && pTags->ReadTags(strFolder + file.strName, tags)) {
    candidate.nDisc = tags.nDisc;
    candidate.nTrack = tags.nTrack;
    candidate.strArtist = TrimBlanks(ImportedText(tags.strArtist));
    candidate.strTitle = TrimBlanks(ImportedText(tags.strTitle));
  }
  TextsFromName(file.strName, candidate);
  return candidate;
}

// The CD numbers in use, and the last track used on each.
class CDNumbers {
 public:
  CDNumbers(const TrackStore& store, const ImportedFiles& imported,
            const std::string& strMusicDir) {
    for (const std::string& strName : FolderNames(strMusicDir, false)) {
      if (strName.size() == 3 && AllDigits(strName)) {
        m_taken[static_cast<std::size_t>(Atoi(strName))] = true;
      }
    }
    for (int i = 0; i < store.PlaylistCount(); ++i) {
      const PlaylistView record = store.Playlist(i);
      Use(Atoi(record.strCD), Atoi(record.strTrack), true);
    }
    imported.ForEach([this](const std::string& /*strSource*/, const ImportedFile& file) {
      Use(file.nCD, file.nTrack, false);
    });
  }

  // The lowest free CD number, now taken; 0 when none is left.
  int TakeFree() {
    while (m_nCursor <= kLastCD && m_taken[static_cast<std::size_t>(m_nCursor)]) {
      ++m_nCursor;
    }
    if (m_nCursor > kLastCD) {
      return 0;
    }
    m_taken[static_cast<std::size_t>(m_nCursor)] = true;
    return m_nCursor;
  }
  // An album goes on on this CD: no other may take it, even when neither folder nor record
  // holds it any more.
  void Reserve(int nCD) { m_taken[static_cast<std::size_t>(nCD)] = true; }
  int LastTrack(int nCD) const { return m_lastTrack[static_cast<std::size_t>(nCD)]; }
  int CountFree() const {
    return static_cast<int>(std::count(m_taken.begin() + m_nCursor, m_taken.end(), false));
  }

 private:
  void Use(int nCD, int nTrack, bool bTakes) {
    if (nCD < 1 || nCD > kLastCD) {
      return;
    }
    const auto nIndex = static_cast<std::size_t>(nCD);
    m_taken[nIndex] = m_taken[nIndex] || bTakes;
    m_lastTrack[nIndex] = std::max(m_lastTrack[nIndex], nTrack);
  }

  std::array<bool, kLastCD + 1> m_taken{};
  std::array<int, kLastCD + 1> m_lastTrack{};
  int m_nCursor = 1;
};

// The last CD each album of the walk was imported on before, by folder.
std::unordered_map<std::string, int> EarlierCDs(const LibraryWalk& walk,
                                                const ImportedFiles& imported) {
  std::unordered_map<std::string, int> cds;
  for (const FoundAlbum& album : walk.albums) {
    cds.emplace(album.strFolder, 0);
  }
  imported.ForEach([&cds](const std::string& strSource, const ImportedFile& file) {
    const auto it = cds.find(FolderOfPath(strSource));
    if (it != cds.end()) {
      it->second = std::max(it->second, file.nCD);
    }
  });
  return cds;
}

}  // namespace

bool IsAudioFileName(const std::string& strName) {
  static constexpr std::array<std::string_view, 12> kExtensions = {
      "mp3", "flac", "ogg", "oga", "opus", "m4a", "mp4", "aac", "wav", "aif", "aiff", "wma"};
  const std::size_t nDot = strName.rfind('.');
  if (nDot == std::string::npos) {
    return false;
  }
  std::string strExtension = strName.substr(nDot + 1);
  std::transform(strExtension.begin(), strExtension.end(), strExtension.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return std::find(kExtensions.begin(), kExtensions.end(), strExtension) != kExtensions.end();
}

std::string ImportSkip::ListLine() const {
  return "Not importable\t" + strSource + '\t' + strReason;
}

std::string ImportTrack::ListLine() const {
  return FormatInt(nCD, 3) + '\t' + FormatInt(nTrack, 2) + '\t' + strArtist + '\t' + strTitle +
         '\t' + strSource;
}

LibraryImportPlan PlanLibraryImport(const std::vector<std::string>& sources,
                                    const TrackStore& store, const ImportedFiles& imported,
                                    const std::string& strMusicDir, TagReader* pTags,
                                    const ImportProgressReport& progress,
                                    const std::atomic<bool>* pStop) {
  LibraryImportPlan plan;
  LibraryWalk walk = WalkSources(sources, strMusicDir, progress, pStop);
  plan.skipped = std::move(walk.skipped);
  plan.strRefusal = std::move(walk.strRefusal);
  plan.bStopped = walk.bStopped;
  if (!plan.strRefusal.empty() || plan.bStopped) {
    return plan;
  }
  // What is new: only that is read.
  int nNew = 0;
  for (FoundAlbum& album : walk.albums) {
    const auto itKept =
        std::remove_if(album.files.begin(), album.files.end(), [&](const FoundFile& file) {
          return imported.Find(album.strFolder + file.strName) != nullptr;
        });
    plan.nAlreadyImported += static_cast<int>(album.files.end() - itKept);
    album.files.erase(itKept, album.files.end());
    nNew += static_cast<int>(album.files.size());
  }
  CDNumbers numbers(store, imported, strMusicDir);
  const std::unordered_map<std::string, int> earlierCDs = EarlierCDs(walk, imported);
  for (const auto& [strFolder, nCD] : earlierCDs) {
    if (nCD > 0 && nCD <= kLastCD) {
      numbers.Reserve(nCD);
    }
  }
  plan.tracks.reserve(static_cast<std::size_t>(nNew));
  const int nFree = numbers.CountFree();
  int nRead = 0;
  int nMissingCDs = 0;
  for (const FoundAlbum& album : walk.albums) {
    std::vector<Candidate> candidates;
    candidates.reserve(album.files.size());
    for (const FoundFile& file : album.files) {
      if (pStop != nullptr && pStop->load()) {
        plan.bStopped = true;
        return plan;
      }
      candidates.push_back(ReadCandidate(album.strFolder, file, pTags));
      if (progress) {
        progress({ImportStage::kReadingTags, ++nRead, nNew});
      }
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
      return std::tie(a.nDisc, a.nTrack, a.pFile->strName) <
             std::tie(b.nDisc, b.nTrack, b.pFile->strName);
    });
    // New files of an album imported before go on where it ended, while its CD has room.
    int nCD = earlierCDs.at(album.strFolder);
    int nTrack = nCD > 0 ? numbers.LastTrack(nCD) : kTracksPerCD;
    for (Candidate& candidate : candidates) {
      if (nTrack >= kTracksPerCD) {
        nCD = numbers.TakeFree();
        nMissingCDs += nCD == 0 ? 1 : 0;
        nTrack = 0;
      }
      ImportTrack track;
      track.nCD = nCD;
      track.nTrack = ++nTrack;
      track.strArtist = std::move(candidate.strArtist);
      track.strTitle = std::move(candidate.strTitle);
      track.strSource = album.strFolder + candidate.pFile->strName;
      track.nSize = candidate.pFile->nSize;
      track.nModified = candidate.pFile->nModified;
      plan.tracks.push_back(std::move(track));
    }
  }
  std::stable_sort(plan.tracks.begin(), plan.tracks.end(),
                   [](const ImportTrack& a, const ImportTrack& b) {
                     return std::tie(a.nCD, a.nTrack) < std::tie(b.nCD, b.nTrack);
                   });
  const long long nRecords = static_cast<long long>(store.PlaylistCount()) + nNew;
  if (nMissingCDs > 0) {
    plan.strRefusal = "Nothing was imported: the import needs " +
                      std::to_string(nFree + nMissingCDs) + " new CD numbers, but only " +
                      std::to_string(nFree) + " CD numbers are free.";
  } else if (nRecords > store.PlaySize()) {
    plan.strRefusal = "Nothing was imported: the library would hold " + std::to_string(nRecords) +
                      " records, so the playlist size must be at least " +
                      std::to_string(nRecords) + " (it is " + std::to_string(store.PlaySize()) +
                      ").";
  }
  return plan;
}

}  // namespace velvane
