#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "core/ports/AudioAnalyser.h"

namespace velvane {

// Which file a result was measured on: a result whose file has another name, size or
// modification time is stale.
struct AnalysedFile {
  std::string strFileName;     // name within its CD folder
  std::uint64_t nSize = 0;     // bytes
  std::int64_t nModified = 0;  // modification time, seconds since 1970-01-01 UTC
  bool operator==(const AnalysedFile&) const = default;
};

// Reads the name, size and modification time of the file at strPath; false if it is not a
// readable regular file.
bool DescribeFile(const std::string& strPath, AnalysedFile& file);

// One result: a library track's music file and its measures.
struct TrackAnalysis {
  std::string strCD;  // as in the library: decimal digits without leading zeros
  std::string strTrack;
  AnalysedFile file;
  TrackMeasures measures;
};

// The analysis results of the library, one per CD and track.
class AnalysisResults {
 public:
  // Adds or replaces the result of its CD and track.
  void Put(TrackAnalysis result);
  // The measures of CD/track if its result was measured on the file at strPath as it is now.
  const TrackMeasures* FreshMeasures(const std::string& strCD, const std::string& strTrack,
                                     const std::string& strPath) const;
  // The result of CD/track as stored, fresh or not.
  const TrackAnalysis* Find(const std::string& strCD, const std::string& strTrack) const;
  std::size_t Count() const { return m_results.size(); }

  // In CD then track order (numerically), for writing.
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const auto& [key, result] : m_results) {
      visit(result);
    }
  }

 private:
  std::map<std::pair<int, int>, TrackAnalysis> m_results;
};

// The gain that brings a track to the target loudness, lowered where needed so that its true
// peak stays at or below -1 dBTP.
double TrackGain(const TrackMeasures& measures, double dTargetLufs);

}  // namespace velvane
