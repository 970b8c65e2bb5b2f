#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace velvane {

// Test audio, made by the command-line tools. Each returns an empty text, or why it could not
// be made.

// Runs `strCommand`, which is to make `path`.
inline std::string MakeAudio(const std::string& strCommand, const std::filesystem::path& path,
                             const std::string& strPackages) {
  return std::system((strCommand + " 2>/dev/null").c_str()) == 0 && std::filesystem::exists(path)
             ? std::string()
             : "could not make " + path.filename().string() + " (" + strPackages + ")";
}

// A 997 Hz sine at full scale made by sox, followed by `strEffects`: e.g. "vol 0.1" for
// -20 dBFS and "pad 2 5" for silence before and after. No dither, so silence is silent.
inline std::string SoxSine(const std::filesystem::path& path, double dSeconds,
                           const std::string& strEffects, int nChannels = 2, int nRate = 44100) {
  return MakeAudio("sox -D -n -r " + std::to_string(nRate) + " -b 16 -c " +
                       std::to_string(nChannels) + " '" + path.string() + "' synth " +
                       std::to_string(dSeconds) + " sine 997 " + strEffects,
                   path, "packages sox, libsox-fmt-mp3");
}

// For the formats sox cannot write (m4a, ADTS AAC, AC-3), made by ffmpeg: a 997 Hz sine of
// peak `dAmplitude` on every channel, in the container and codec the file name's extension
// says. One expression per channel; FFmpeg takes the usual layout for their number.
inline std::string EncodeSine(const std::filesystem::path& path, int nChannels, int nRate,
                              double dSeconds, double dAmplitude) {
  const std::string strSine = std::to_string(dAmplitude) + "*sin(2*PI*997*t)";
  std::string strChannels = strSine;
  for (int c = 1; c < nChannels; ++c) {
    strChannels += "|" + strSine;
  }
  return MakeAudio("ffmpeg -nostdin -loglevel error -y -f lavfi -i 'aevalsrc=" + strChannels +
                       ":s=" + std::to_string(nRate) + ":d=" + std::to_string(dSeconds) +
                       "' -b:a " + std::to_string(64 * std::min(nChannels, 6)) + "k '" +
                       path.string() + "'",
                   path, "package ffmpeg");
}

}  // namespace velvane
