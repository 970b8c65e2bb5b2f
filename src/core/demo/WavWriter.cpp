#include "core/demo/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <vector>

#include "core/db/NativeFile.h"

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

// Writes the samples as a stereo file, each sample on both channels.
bool WriteSamples(const std::string& strPath, const std::vector<std::int16_t>& samples,
                  int nSampleRate) {
  constexpr int kChannels = 2;
  constexpr int kBytesPerSample = 2;
  const auto nFrames = static_cast<std::uint32_t>(samples.size());
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

  for (const std::int16_t nSample : samples) {
    for (int c = 0; c < kChannels; ++c) {
      PutLe(bytes, static_cast<std::uint16_t>(nSample), 2);
    }
  }

  std::ofstream file(PathFromUtf8(strPath), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

bool WriteWav(const std::string& strPath, double dSeconds, double dFrequencyHz, double dAmplitude,
              int nSampleRate) {
  const auto nFrames = static_cast<std::uint32_t>(std::llround(dSeconds * nSampleRate));
  const double dPeak = std::clamp(dAmplitude, 0.0, 1.0) * 32767.0;
  std::vector<std::int16_t> samples;
  samples.reserve(nFrames);
  for (std::uint32_t i = 0; i < nFrames; ++i) {
    const double dPhase = 2.0 * std::numbers::pi * dFrequencyHz * i / nSampleRate;
    samples.push_back(static_cast<std::int16_t>(std::lround(dPeak * std::sin(dPhase))));
  }
  return WriteSamples(strPath, samples, nSampleRate);
}

}  // namespace

bool WriteSineWav(const std::string& strPath, double dSeconds, double dFrequencyHz,
                  double dAmplitude, int nSampleRate) {
  return WriteWav(strPath, dSeconds, dFrequencyHz, dAmplitude, nSampleRate);
}

bool WriteSilenceWav(const std::string& strPath, double dSeconds, int nSampleRate) {
  return WriteWav(strPath, dSeconds, 0.0, 0.0, nSampleRate);
}

bool WriteMelodyWav(const std::string& strPath, const std::vector<MelodyNote>& notes,
                    double dAmplitude, int nSampleRate) {
  constexpr double kAttackSeconds = 0.01;
  constexpr double kReleaseSeconds = 0.03;
  // A quiet octave above the fundamental makes the tone rounder than a bare sine; dividing by
  // the sum of both keeps the peak within the amplitude.
  constexpr double kOvertone = 0.25;
  const double dPeak = std::clamp(dAmplitude, 0.0, 1.0) * 32767.0 / (1.0 + kOvertone);

  std::vector<std::int16_t> samples;
  double dEnd = 0.0;
  for (const MelodyNote& note : notes) {
    // Frames follow the running time, so rounding never adds up over many notes.
    const long long nFirst = std::llround(dEnd * nSampleRate);
    dEnd += std::max(note.dSeconds, 0.0);
    const long long nFrames = std::llround(dEnd * nSampleRate) - nFirst;
    const double dAttack = std::min(kAttackSeconds * nSampleRate, nFrames / 2.0);
    const double dRelease = std::min(kReleaseSeconds * nSampleRate, nFrames / 2.0);
    const double dStep = 2.0 * std::numbers::pi * note.dFrequencyHz / nSampleRate;
    for (long long i = 0; i < nFrames; ++i) {
      if (note.dFrequencyHz <= 0.0) {
        samples.push_back(0);
        continue;
      }
      const double dSeconds = static_cast<double>(i) / nSampleRate;
      // Struck, then settling to a steady level: softer than an organ-like flat tone.
      const double dEnvelope = std::min(1.0, i / dAttack) *
                               std::min(1.0, (nFrames - 1 - i) / dRelease) *
                               (0.6 + 0.4 * std::exp(-3.0 * dSeconds));
      const double dPhase = dStep * static_cast<double>(i);
      const double dWave = std::sin(dPhase) + kOvertone * std::sin(2.0 * dPhase);
      samples.push_back(static_cast<std::int16_t>(std::lround(dPeak * dEnvelope * dWave)));
    }
  }
  return WriteSamples(strPath, samples, nSampleRate);
}

}  // namespace velvane
