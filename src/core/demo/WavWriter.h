#pragma once

#include <string>
#include <vector>

namespace velvane {

// Generated audio for the demo library and the tests (no audio is committed): 16-bit PCM stereo WAV
// files at nSampleRate frames a second.

// A sine of dFrequencyHz lasting dSeconds, the same on both channels, with peak dAmplitude as a
// fraction of full scale (0..1). Returns false when the file cannot be written.
bool WriteSineWav(const std::string& strPath, double dSeconds, double dFrequencyHz,
                  double dAmplitude, int nSampleRate = 44100);

// Digital silence lasting dSeconds.
bool WriteSilenceWav(const std::string& strPath, double dSeconds, int nSampleRate = 44100);

// One note of a melody; a frequency of 0 is a rest.
struct MelodyNote {
  double dFrequencyHz = 0.0;
  double dSeconds = 0.0;
};

// The notes one after another, each a soft tone that rises and falls back to silence within
// its own length so that no note boundary clicks. Peaks never exceed dAmplitude (0..1).
bool WriteMelodyWav(const std::string& strPath, const std::vector<MelodyNote>& notes,
                    double dAmplitude, int nSampleRate = 44100);

}  // namespace velvane
