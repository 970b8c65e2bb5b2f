#include "core/analysis/AnalysisSource.h"

#include <utility>

#include "core/analysis/AnalysisFile.h"

namespace velvane {

std::optional<AnalysedFile> AnalysisSource::FileNow() const {
  AnalysedFile file;
  if (m_strFilesDir.empty() || !DescribeFile(m_strFilesDir + kAnalysisBaseName + ".dat", file)) {
    return std::nullopt;
  }
  return file;
}

bool AnalysisSource::Open(const std::string& strFilesDir, std::string& strError) {
  m_strFilesDir = strFilesDir;
  m_file = FileNow();
  m_results = {};
  return LoadAnalysisFile(strFilesDir, m_results, strError);
}

const AnalysisResults& AnalysisSource::Fresh() {
  std::optional<AnalysedFile> now = FileNow();
  if (now != m_file) {
    m_file = std::move(now);
    AnalysisResults results;
    std::string strError;
    if (m_file && LoadAnalysisFile(m_strFilesDir, results, strError)) {
      m_results = std::move(results);
    }
  }
  return m_results;
}

void AnalysisSource::Replace(AnalysisResults results) {
  m_results = std::move(results);
  m_file = FileNow();
}

}  // namespace velvane
