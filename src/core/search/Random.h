#pragma once

#include <cstdint>

#include "core/ports/Clock.h"

namespace velvane {

// The 15-bit linear congruential generator the selections are defined on, so that a seed gives
// the same proposals on every platform.
class Random15 {
 public:
  static constexpr int kRange = 32768;

  explicit Random15(std::uint32_t nSeed = 1) : m_nState(nSeed) {}
  void Seed(std::uint32_t nSeed) { m_nState = nSeed; }
  // 0 to 32767.
  int Next() {
    m_nState = m_nState * 214013u + 2531011u;
    return static_cast<int>((m_nState >> 16) & 0x7FFF);
  }

 private:
  std::uint32_t m_nState;
};

// The generator as the selections start it: seeded from the time in seconds.
inline Random15 SeededFromTime(Clock& clock) {
  return Random15(static_cast<std::uint32_t>(clock.SecondsSinceEpoch()));
}

}  // namespace velvane
