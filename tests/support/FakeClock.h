#pragma once

#include <chrono>
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
  void Set(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    namespace chr = std::chrono;
    const chr::sys_days date{chr::year{year} / chr::month{static_cast<unsigned>(month)} /
                             chr::day{static_cast<unsigned>(day)}};
    const int nDayOfWeek = static_cast<int>(chr::weekday{date}.c_encoding());
    m_time = {year, month, day, nDayOfWeek, hour, minute, second, 0};
    m_nEpochSeconds = (date.time_since_epoch().count() * std::int64_t{24} + hour) * 3600 +
                      std::int64_t{minute} * 60 + second;
  }

  SystemTime m_time;
  std::int64_t m_nEpochSeconds = 0;
};

}  // namespace velvane
