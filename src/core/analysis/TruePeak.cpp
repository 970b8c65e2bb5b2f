#include "core/analysis/TruePeak.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace velvane {

namespace {

// Frames interpolated at a time: the sums of a block stay in the first-level cache.
constexpr std::size_t kBlock = 1024;
// Taps of the whole 4x filter but one (the centre tap), shared out over the phases.
constexpr int kSpan = 48;

int Oversampling(int nRate) {
  if (nRate < 96000) {
    return 4;
  }
  return nRate < 192000 ? 2 : 1;
}

// The interpolating low-pass at `dDistance` input samples from the point, cut off at the
// input's Nyquist frequency and windowed to +-`dHalfSpan` samples.
double Kernel(double dDistance, double dHalfSpan) {
  const double dWindow = 0.5 * (1.0 + std::cos(std::numbers::pi * dDistance / dHalfSpan));
  if (std::fabs(dDistance) < 1e-9) {
    return dWindow;
  }
  const double dX = std::numbers::pi * dDistance;
  return std::sin(dX) / dX * dWindow;
}

// The highest magnitude among `nCount` values. Eight running maxima in place of one let the
// compiler keep them in one vector register.
float MaxMagnitude(const float* pValues, std::size_t nCount) {
  std::array<float, 8> lanes = {};
  std::size_t i = 0;
  for (; i + lanes.size() <= nCount; i += lanes.size()) {
    for (std::size_t j = 0; j < lanes.size(); ++j) {
      lanes[j] = std::max(lanes[j], std::fabs(pValues[i + j]));
    }
  }
  float fMax = 0.0f;
  for (; i < nCount; ++i) {
    fMax = std::max(fMax, std::fabs(pValues[i]));
  }
  for (const float fLane : lanes) {
    fMax = std::max(fMax, fLane);
  }
  return fMax;
}

}  // namespace

TruePeakMeter::TruePeakMeter(int nChannels, int nRate)
    : m_nChannels(std::max(nChannels, 0)), m_peaks(static_cast<std::size_t>(m_nChannels)) {
  const int nFactor = Oversampling(nRate);
  if (nFactor > 1) {
    m_nTaps = kSpan / nFactor;
    const double dHalfSpan = m_nTaps / 2.0;
    // Phase p's point lies p/nFactor after the middle of its taps.
    for (int p = 1; p < nFactor; ++p) {
      float fGain = 0.0f;
      for (int k = 0; k < m_nTaps; ++k) {
        const double dDistance = dHalfSpan - 1.0 - k + static_cast<double>(p) / nFactor;
        m_coefficients.push_back(static_cast<float>(Kernel(dDistance, dHalfSpan)));
        fGain += std::fabs(m_coefficients.back());
      }
      m_fBound = std::max(m_fBound, fGain);
    }
  }
  m_signal.assign((History() + kBlock) * static_cast<std::size_t>(m_nChannels), 0.0f);
}

void TruePeakMeter::Add(const float* pInterleaved, std::size_t nFrames) {
  const auto nChannels = static_cast<std::size_t>(m_nChannels);
  for (std::size_t nDone = 0; nDone < nFrames; nDone += kBlock) {
    AddBlock(pInterleaved + nDone * nChannels, std::min(kBlock, nFrames - nDone));
  }
}

double TruePeakMeter::Peak(int nChannel) const {
  return nChannel >= 0 && nChannel < m_nChannels ? m_peaks[static_cast<std::size_t>(nChannel)]
                                                 : 0.0;
}

void TruePeakMeter::AddBlock(const float* pInterleaved, std::size_t nFrames) {
  const auto nChannels = static_cast<std::size_t>(m_nChannels);
  const std::size_t nHistory = History();
  for (std::size_t c = 0; c < nChannels; ++c) {
    float* pSignal = &m_signal[c * (nHistory + kBlock)];
    float* pNew = pSignal + nHistory;
    for (std::size_t f = 0; f < nFrames; ++f) {
      pNew[f] = pInterleaved[f * nChannels + c];
    }
    float& fPeak = m_peaks[c];
    const float fSamples = MaxMagnitude(pNew, nFrames);
    fPeak = std::max(fPeak, fSamples);
    // Each interpolated point is a weighted sum of m_nTaps samples, so it is at most the sum
    // of its weights' magnitudes (m_fBound: 1.86 at 4x, 5.4 dB) times the largest of them.
    // A block whose samples, with the history its first points reach back into, stay under
    // the peak so far divided by that bound cannot raise the peak and is not interpolated.
    const float fSpan = std::max(fSamples, MaxMagnitude(pSignal, nHistory));
    if (m_nTaps > 0 && fSpan * m_fBound > fPeak) {
      fPeak = std::max(fPeak, BlockPeak(pSignal, nFrames));
    }
    std::copy(pNew + nFrames - nHistory, pNew + nFrames, pSignal);
  }
}

// The highest interpolated point between the block's samples. The taps are the outer loop,
// so the inner one runs along the block, where the compiler vectorises it without changing
// the order of any sum; it always runs over a whole block (what lies past nOut is not used).
float TruePeakMeter::BlockPeak(const float* pSignal, std::size_t nOut) const {
  std::array<float, kBlock> sums;
  float fPeak = 0.0f;
  const auto nTaps = static_cast<std::size_t>(m_nTaps);
  for (std::size_t nRow = 0; nRow < m_coefficients.size(); nRow += nTaps) {
    sums.fill(0.0f);
    for (std::size_t k = 0; k < nTaps; ++k) {
      const float fWeight = m_coefficients[nRow + k];
      const float* pTap = pSignal + k;
      for (std::size_t n = 0; n < kBlock; ++n) {
        sums[n] += fWeight * pTap[n];
      }
    }
    fPeak = std::max(fPeak, MaxMagnitude(sums.data(), nOut));
  }
  return fPeak;
}

}  // namespace velvane
