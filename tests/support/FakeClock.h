#pragma once

#include <cstdint>

#include "core/ports/Clock.h"

namespace velvane {

// A clock that stands still at whatever time the test sets.
class FakeClock : public Clock {
 public:
  FakeClock() = default;
  FakeClock(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    Set(year, month, day, hour, minute, second);
  }

  SystemTime NowUtc() override { return m_time; }
  std::int64_t SecondsSinceEpoch() override { return m_nEpochSeconds; }

  // Sets a UTC time; the day of the week and the epoch seconds follow from the date.
  void Set(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

  SystemTime m_time;
  std::int64_t m_nEpochSeconds = 0;
};

}  // namespace velvane
