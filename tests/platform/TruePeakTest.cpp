// Our true peak against libebur128's own true-peak mode on signals whose peaks fall between
// the samples.
#include "core/analysis/TruePeak.h"

#include <ebur128.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace velvane {
namespace {

struct Signal {
  std::string strName;
  int nChannels;
  int nRate;
  std::function<double(std::int64_t nFrame, int nChannel)> sample;
};

double Sine(double dHz, int nRate, std::int64_t nFrame, double dPhase = 0.0) {
  return std::sin(2.0 * std::numbers::pi * dHz * static_cast<double>(nFrame) / nRate + dPhase);
}

double Decibels(double dLinear) {
  return 20.0 * std::log10(dLinear);
}

// The interleaved signal, 3 s of it.
std::vector<float> Frames(const Signal& signal) {
  const std::int64_t nFrames = std::int64_t{3} * signal.nRate;
  std::vector<float> samples;
  for (std::int64_t f = 0; f < nFrames; ++f) {
    for (int c = 0; c < signal.nChannels; ++c) {
      samples.push_back(static_cast<float>(signal.sample(f, c)));
    }
  }
  return samples;
}

struct MeterFreer {
  void operator()(ebur128_state* p) const { ebur128_destroy(&p); }
};

TEST(TruePeakTest, IntersamplePeaksMatchLibebur128WithinATenthOfADecibel) {
  const double kQuarter = std::numbers::pi / 4.0;
  const std::vector<Signal> signals = {
      // Samples at +-0.354 of a 0.5 sine: the peak is 3 dB over every sample.
      {"fs/4 at 45 degrees", 2, 44100,
       [=](std::int64_t f, int) { return 0.5 * Sine(11025.0, 44100, f, kQuarter); }},
      {"clipped square", 2, 48000,
       [](std::int64_t f, int c) {
         return std::clamp(1.5 * Sine(441.0 + c * 50, 48000, f), -0.9, 0.9);
       }},
      {"near Nyquist, mono", 1, 44100,
       [](std::int64_t f, int) { return 0.7 * Sine(20000.0, 44100, f); }},
      {"5.1", 6, 48000,
       [=](std::int64_t f, int c) {
         return 0.2 * (c + 1) * Sine(12000.0 - 997 * c, 48000, f, kQuarter);
       }},
      // A loud second whose peaks fall on samples, then a louder sine whose samples are all
      // lower: the blocks that cannot pass the peak so far are skipped, these must not be.
      {"hidden later", 2, 44100,
       [=](std::int64_t f, int) {
         return f < 44100 ? 0.8 * Sine(11025.0, 44100, f) : 0.9 * Sine(11025.0, 44100, f, kQuarter);
       }},
      {"96 kHz", 2, 96000,
       [=](std::int64_t f, int) { return 0.6 * Sine(24000.0, 96000, f, kQuarter); }},
      {"192 kHz", 2, 192000, [](std::int64_t f, int) { return 0.6 * Sine(41000.0, 192000, f); }},
  };
  for (const Signal& signal : signals) {
    const std::vector<float> samples = Frames(signal);
    const std::size_t nFrames = samples.size() / static_cast<std::size_t>(signal.nChannels);
    std::unique_ptr<ebur128_state, MeterFreer> reference(
        ebur128_init(static_cast<unsigned>(signal.nChannels),
                     static_cast<unsigned long>(signal.nRate), EBUR128_MODE_TRUE_PEAK));
    ASSERT_TRUE(reference);
    ebur128_add_frames_float(reference.get(), samples.data(), nFrames);
    // Uneven pieces, so that the history carried across blocks is used at every offset.
    TruePeakMeter meter(signal.nChannels, signal.nRate);
    for (std::size_t nDone = 0, nPiece = 1; nDone < nFrames; nDone += nPiece, nPiece += 397) {
      nPiece = std::min(nPiece, nFrames - nDone);
      meter.Add(samples.data() + nDone * static_cast<std::size_t>(signal.nChannels), nPiece);
    }
    for (int c = 0; c < signal.nChannels; ++c) {
      double dExpected = 0.0;
      ASSERT_EQ(ebur128_true_peak(reference.get(), static_cast<unsigned>(c), &dExpected), 0);
      EXPECT_NEAR(Decibels(meter.Peak(c)), Decibels(dExpected), 0.1)
          << signal.strName << ", channel " << c;
    }
  }
}

}  // namespace
}  // namespace velvane
