#pragma once

#include <atomic>
#include <string>

#include "core/ports/AudioAnalyser.h"
#include "support/TempDir.h"

namespace velvane {

// Measures a file by its content, so tests can tell results apart without audio: a file
// starting "bad" cannot be decoded; any other gets its size in bytes, negated, as loudness.
// Counts its calls; safe to call from several threads at once.
class FakeAudioAnalyser : public AudioAnalyser {
 public:
  bool Analyse(const std::string& strPath, TrackMeasures& measures,
               std::string& strError) override {
    ++m_nCalls;
    const std::string strContent = ReadWholeFile(strPath);
    if (strContent.rfind("bad", 0) == 0) {
      strError = "damaged";
      return false;
    }
    measures = {-static_cast<double>(strContent.size()), -3.0, 100, 1000};
    return true;
  }

  std::atomic<int> m_nCalls{0};
};

}  // namespace velvane
