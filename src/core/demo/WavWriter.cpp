#include "core/demo/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <vector>

namespace velvane {

namespace {

void PutLe(std::vector<char>& bytes, std::uint32_t value, int nBytes) {
  for (int i = 0; i < nBytes; ++i) {
    bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
}

void PutText(std::vector<char>& bytes, const char* text) {
  bytes.insert(bytes.end(), text, text + 4);
}

bool WriteWav(const std::string& strPath, double dSeconds, double dFrequencyHz, double dAmplitude,
              int nSampleRate) {
  constexpr int kChannels = 2;
  constexpr int kBytesPerSample = 2;
  const auto nFrames = static_cast<std::uint32_t>(std::llround(dSeconds * nSampleRate));
  const std::uint32_t nDataBytes = nFrames * kChannels * kBytesPerSample;

  std::vector<char> bytes;
  bytes.reserve(44 + nDataBytes);
  PutText(bytes, "RIFF");
  PutLe(bytes, 36 + nDataBytes, 4);
  PutText(bytes, "WAVE");
  PutText(bytes, "fmt ");
  PutLe(bytes, 16, 4);  // size of the format chunk
  PutLe(bytes, 1, 2);   // PCM
  PutLe(bytes, kChannels, 2);
  PutLe(bytes, static_cast<std::uint32_t>(nSampleRate), 4);
  PutLe(bytes, static_cast<std::uint32_t>(nSampleRate * kChannels * kBytesPerSample), 4);
  PutLe(bytes, kChannels * kBytesPerSample, 2);  // block align
  PutLe(bytes, 8 * kBytesPerSample, 2);          // bits per sample
  PutText(bytes, "data");
  PutLe(bytes, nDataBytes, 4);

  const double dPeak = std::clamp(dAmplitude, 0.0, 1.0) * 32767.0;
  for (std::uint32_t i = 0; i < nFrames; ++i) {
    const double dPhase = 2.0 * std::numbers::pi * dFrequencyHz * i / nSampleRate;
    const auto nSample = static_cast<std::int16_t>(std::lround(dPeak * std::sin(dPhase)));
    for (int c = 0; c < kChannels; ++c) {
      PutLe(bytes, static_cast<std::uint16_t>(nSample), 2);
    }
  }

  std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace

bool WriteSineWav(const std::string& strPath, double dSeconds, double dFrequencyHz,
                  double dAmplitude, int nSampleRate) {
  return WriteWav(strPath, dSeconds, dFrequencyHz, dAmplitude, nSampleRate);
}

bool WriteSilenceWav(const std::string& strPath, double dSeconds, int nSampleRate) {
  return WriteWav(strPath, dSeconds, 0.0, 0.0, nSampleRate);
}

}  // namespace velvane
