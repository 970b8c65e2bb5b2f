#pragma once

#include <filesystem>
#include <string>

namespace velvane {

// Test audio. Each returns an empty text, or why it could not be made.

// A 997 Hz sine at full scale made by sox, followed by `strEffects`: e.g. "vol 0.1" for
// -20 dBFS and "pad 2 5" for silence before and after. No dither, so silence is silent.
std::string SoxSine(const std::filesystem::path& path, double dSeconds,
                    const std::string& strEffects, int nChannels = 2, int nRate = 44100);

// For the formats sox cannot write (m4a, ADTS AAC, AC-3), made by ffmpeg: a 997 Hz sine of
// peak `dAmplitude` on every channel, in the container and codec the file name's extension
// says.
std::string EncodeSine(const std::filesystem::path& path, int nChannels, int nRate, double dSeconds,
                       double dAmplitude);

}  // namespace velvane
