#pragma once

#include <cstdint>

namespace velvane {

// A broken-down UTC time, as the system clock reports it.
struct SystemTime {
  int nYear = 1970;
  int nMonth = 1;      // 1..12
  int nDay = 1;        // 1..31
  int nDayOfWeek = 4;  // 0 = Sunday .. 6 = Saturday
  int nHour = 0;
  int nMinute = 0;
  int nSecond = 0;
  int nMilliseconds = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual SystemTime NowUtc() = 0;
  // Seconds since 1 January 1970 UTC; seeds the pseudo-random generator.
  virtual std::int64_t SecondsSinceEpoch() = 0;
};

}  // namespace velvane
