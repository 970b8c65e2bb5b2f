#pragma once

#include "core/ports/AudioAnalyser.h"

namespace velvane {

// Decodes with the FFmpeg libraries (every format the decks play) once and measures the
// integrated loudness with libebur128, the true peak (the highest of the channels) with our
// own TruePeakMeter, which is several times faster than libebur128's, and the audible start
// and end. A window's level is the RMS of all its samples over all channels, in dBFS
// (a full-scale square wave is 0 dBFS, a full-scale sine -3 dBFS). Each call has its own
// decoder, so calls on several threads at once are safe.
class FfmpegAnalyser : public AudioAnalyser {
 public:
  FfmpegAnalyser();
  bool Analyse(const std::string& strPath, TrackMeasures& measures, std::string& strError) override;
};

}  // namespace velvane
