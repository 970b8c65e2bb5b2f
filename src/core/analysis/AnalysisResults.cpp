#include "core/analysis/AnalysisResults.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

#include "core/db/NativeFile.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

constexpr double kPeakCeiling = -1.0;  // dBTP
constexpr double kMaxGain = 24.0;      // dB either way, whatever a damaged result says

std::pair<int, int> KeyOf(const std::string& strCD, const std::string& strTrack) {
  return {Atoi(strCD), Atoi(strTrack)};
}

}  // namespace

bool DescribeFile(const std::string& strPath, AnalysedFile& file) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path path = PathFromUtf8(strPath);
  if (!fs::is_regular_file(path, error)) {
    return false;
  }
  const auto nSize = fs::file_size(path, error);
  if (error) {
    return false;
  }
  const auto modified = fs::last_write_time(path, error);
  if (error) {
    return false;
  }
  const auto system = std::chrono::file_clock::to_sys(modified);
  file.strFileName = Utf8FromPath(path.filename());
  file.nSize = nSize;
  file.nModified =
      std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
  return true;
}

void AnalysisResults::Put(TrackAnalysis result) {
  const auto key = KeyOf(result.strCD, result.strTrack);
  m_results.insert_or_assign(key, std::move(result));
}

const TrackAnalysis* AnalysisResults::Find(const std::string& strCD,
                                           const std::string& strTrack) const {
  const auto it = m_results.find(KeyOf(strCD, strTrack));
  return it == m_results.end() ? nullptr : &it->second;
}

const TrackMeasures* AnalysisResults::FreshMeasures(const std::string& strCD,
                                                    const std::string& strTrack,
                                                    const std::string& strPath) const {
  const TrackAnalysis* pResult = Find(strCD, strTrack);
  AnalysedFile now;
  if (pResult == nullptr || !DescribeFile(strPath, now) || !(now == pResult->file)) {
    return nullptr;
  }
  return &pResult->measures;
}

double TrackGain(const TrackMeasures& measures, double dTargetLufs) {
  // Silence measures minus infinity: it keeps its level rather than gaining without end.
  if (!std::isfinite(measures.dLoudness) || !std::isfinite(measures.dTruePeak)) {
    return 0.0;
  }
  const double dGain =
      std::min(dTargetLufs - measures.dLoudness, kPeakCeiling - measures.dTruePeak);
  return std::clamp(dGain, -kMaxGain, kMaxGain);
}

}  // namespace velvane
