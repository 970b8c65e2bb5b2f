#pragma once

#include <cstddef>
#include <vector>

namespace velvane {

// The true peak of interleaved float audio: the highest magnitude of the signal between its
// samples as well as at them, found by oversampling each channel with a polyphase
// interpolator (a Hann-windowed sinc spanning 12 input samples at 4x). Like the broadcast
// meters, it oversamples 4x below 96 kHz, 2x below 192 kHz and takes the sample peak from
// 192 kHz on. The interpolation starts against silence before the first sample.
class TruePeakMeter {
 public:
  TruePeakMeter(int nChannels, int nRate);

  void Add(const float* pInterleaved, std::size_t nFrames);
  // Linear, 1.0 = full scale; 0 for a channel that does not exist.
  double Peak(int nChannel) const;

 private:
  void AddBlock(const float* pInterleaved, std::size_t nFrames);
  float BlockPeak(const float* pSignal, std::size_t nOut) const;
  // Samples of the previous block the first interpolated points reach back into.
  std::size_t History() const { return m_nTaps > 0 ? static_cast<std::size_t>(m_nTaps - 1) : 0; }

  int m_nChannels;
  int m_nTaps = 0;                    // input samples each interpolated point is made from
  float m_fBound = 1.0f;              // how far an interpolated point can exceed the samples
  std::vector<float> m_coefficients;  // one row of m_nTaps per phase between two samples
  std::vector<float> m_signal;        // per channel: the last m_nTaps - 1 samples, then a block
  std::vector<float> m_peaks;         // per channel
};

}  // namespace velvane
