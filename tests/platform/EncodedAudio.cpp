#include "EncodedAudio.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace velvane {

namespace {

// Runs `strCommand`, which is to make `path`: empty, or why it did not.
std::string Make(const std::string& strCommand, const std::filesystem::path& path,
                 const std::string& strPackages) {
  return std::system((strCommand + " 2>/dev/null").c_str()) == 0 && std::filesystem::exists(path)
             ? std::string()
             : "could not make " + path.filename().string() + " (" + strPackages + ")";
}

}  // namespace

std::string SoxSine(const std::filesystem::path& path, double dSeconds,
                    const std::string& strEffects, int nChannels, int nRate) {
  return Make("sox -D -n -r " + std::to_string(nRate) + " -b 16 -c " + std::to_string(nChannels) +
                  " '" + path.string() + "' synth " + std::to_string(dSeconds) + " sine 997 " +
                  strEffects,
              path, "packages sox, libsox-fmt-mp3");
}

std::string EncodeSine(const std::filesystem::path& path, int nChannels, int nRate, double dSeconds,
                       double dAmplitude) {
  // One expression per channel; FFmpeg takes the usual layout for their number.
  const std::string strSine = std::to_string(dAmplitude) + "*sin(2*PI*997*t)";
  std::string strChannels = strSine;
  for (int c = 1; c < nChannels; ++c) {
    strChannels += "|" + strSine;
  }
  return Make("ffmpeg -nostdin -loglevel error -y -f lavfi -i 'aevalsrc=" + strChannels +
                  ":s=" + std::to_string(nRate) + ":d=" + std::to_string(dSeconds) + "' -b:a " +
                  std::to_string(64 * std::min(nChannels, 6)) + "k '" + path.string() + "'",
              path, "package ffmpeg");
}

}  // namespace velvane
