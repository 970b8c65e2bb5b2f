#pragma once

#include <string>

namespace velvane {

// What one analysis of a music file found.
struct TrackMeasures {
  double dLoudness = 0.0;  // integrated loudness (EBU R128), LUFS
  double dTruePeak = 0.0;  // dBTP
  int nAudibleStart = 0;   // ms: start of the first 50 ms window above -45 dBFS
  int nAudibleEnd = 0;     // ms: end of the last such window
};

// Decodes a music file and measures it. Several analyses may run at once on different
// threads, one file each.
class AudioAnalyser {
 public:
  virtual ~AudioAnalyser() = default;
  // False, with a one-line reason in `strError`, when the file cannot be decoded.
  virtual bool Analyse(const std::string& strPath, TrackMeasures& measures,
                       std::string& strError) = 0;
};

}  // namespace velvane
