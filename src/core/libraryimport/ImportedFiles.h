#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/db/SafeSave.h"

namespace velvane {

// imported.dat in the database folder: every source file a library import has placed, so that
// importing the same folders again takes only what is new. One file a line, CR LF ended, five
// TAB-separated fields: CD, track, source path, size in bytes, modification time (seconds since
// 1970 UTC). In the path "\" is written "\\", TAB "\t", CR "\r" and LF "\n", so any name fits on
// one line. Saved through the .tmp / .old rotation like the databases, under their lock.
inline constexpr const char* kImportedBaseName = "imported";

// One source file as imported.
struct ImportedFile {
  int nCD = 0;
  int nTrack = 0;
  std::uint64_t nSize = 0;
  std::int64_t nModified = 0;
};

// The imported source files, by path. A path is the key: a file changed since (a new tag, so a
// new size and time) still counts as imported, so re-tagging a collection never doubles its
// tracks.
class ImportedFiles {
 public:
  const ImportedFile* Find(const std::string& strSource) const;
  // Adds or replaces the file at `strSource`.
  void Put(const std::string& strSource, const ImportedFile& file);
  void Remove(const std::string& strSource) { m_files.erase(strSource); }
  std::size_t Count() const { return m_files.size(); }

  // Each path with its file; the order is unspecified.
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const auto& [strSource, file] : m_files) {
      visit(strSource, file);
    }
  }

 private:
  std::unordered_map<std::string, ImportedFile> m_files;
};

std::string FormatImportedLine(const std::string& strSource, const ImportedFile& file);
// False for a damaged line (a field missing or not a number, an unknown escape).
bool ParseImportedLine(std::string_view line, std::string& strSource, ImportedFile& file);

// Reads `strFilesDir` + imported.dat, skipping damaged lines. A missing file holds nothing and
// succeeds. False, with the path and why in `strError`, when it exists but cannot be read: it is
// then never saved over.
bool LoadImportedFiles(const std::string& strFilesDir, ImportedFiles& files, std::string& strError);

// Writes every file, in CD then track order, through the rotation. The caller holds the
// database folder's lock.
SaveOutcome SaveImportedFiles(const std::string& strFilesDir, const ImportedFiles& files);

}  // namespace velvane
