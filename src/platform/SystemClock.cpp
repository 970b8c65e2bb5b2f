#include "platform/SystemClock.h"

#include <chrono>

namespace velvane {

SystemTime SystemClock::NowUtc() {
  using namespace std::chrono;
  const auto now = floor<milliseconds>(system_clock::now());
  const sys_days today = floor<days>(now);
  const year_month_day date{today};
  const hh_mm_ss time{now - today};

  SystemTime result;
  result.nYear = static_cast<int>(date.year());
  result.nMonth = static_cast<int>(static_cast<unsigned>(date.month()));
  result.nDay = static_cast<int>(static_cast<unsigned>(date.day()));
  result.nDayOfWeek = static_cast<int>(weekday{today}.c_encoding());
  result.nHour = static_cast<int>(time.hours().count());
  result.nMinute = static_cast<int>(time.minutes().count());
  result.nSecond = static_cast<int>(time.seconds().count());
  result.nMilliseconds = static_cast<int>(time.subseconds().count());
  return result;
}

std::int64_t SystemClock::SecondsSinceEpoch() {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace velvane
