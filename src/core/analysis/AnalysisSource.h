#pragma once

#include <optional>
#include <string>

#include "core/analysis/AnalysisResults.h"

namespace velvane {

// The analysis results the decks use, read again whenever analysis.dat has changed on disk
// since: a nightly run of velvane-tool reaches the running program at its next track.
class AnalysisSource {
 public:
  // Reads the folder's analysis.dat. False, with the reason, when it exists but cannot be
  // read; the results are then empty.
  bool Open(const std::string& strFilesDir, std::string& strError);
  // The results, read again first when the file changed. A file that cannot be read now
  // leaves the results as they were.
  const AnalysisResults& Fresh();
  const AnalysisResults& Held() const { return m_results; }
  // Results this program has just measured and saved itself.
  void Replace(AnalysisResults results);

 private:
  std::optional<AnalysedFile> FileNow() const;

  std::string m_strFilesDir;
  std::optional<AnalysedFile> m_file;  // analysis.dat as last read; none while it is missing
  AnalysisResults m_results;
};

}  // namespace velvane
