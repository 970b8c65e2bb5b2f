#include "support/FakeAudioAnalyser.h"

#include <fstream>
#include <sstream>

namespace velvane {

bool FakeAudioAnalyser::Analyse(const std::string& strPath, TrackMeasures& measures,
                                std::string& strError) {
  ++m_nCalls;
  std::ifstream file(strPath, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  const std::string strContent = content.str();
  if (strContent.rfind("bad", 0) == 0) {
    strError = "damaged";
    return false;
  }
  measures = {-static_cast<double>(strContent.size()), -3.0, 100, 1000};
  return true;
}

}  // namespace velvane
