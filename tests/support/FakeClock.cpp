#include "support/FakeClock.h"

#include <chrono>

namespace velvane {

void FakeClock::Set(int year, int month, int day, int hour, int minute, int second) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                      std::chrono::day{static_cast<unsigned>(day)}};
  m_time.nYear = year;
  m_time.nMonth = month;
  m_time.nDay = day;
  m_time.nDayOfWeek = static_cast<int>(weekday{date}.c_encoding());
  m_time.nHour = hour;
  m_time.nMinute = minute;
  m_time.nSecond = second;
  m_time.nMilliseconds = 0;
  m_nEpochSeconds = (date.time_since_epoch().count() * std::int64_t{24} + hour) * 3600 +
                    std::int64_t{minute} * 60 + second;
}

}  // namespace velvane
