#include "core/text/DisplayFormat.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "core/text/Text.h"

namespace velvane {

namespace {

constexpr std::array<const char*, 7> kWeekdayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};

constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Callers pass calendar values; anything outside the tables shows as an empty name.
const char* WeekdayName(int nDayOfWeek) {
  return nDayOfWeek >= 0 && nDayOfWeek < 7 ? kWeekdayNames[nDayOfWeek] : "";
}

const char* MonthName(int nMonth) {
  return nMonth >= 1 && nMonth <= 12 ? kMonthNames[nMonth - 1] : "";
}

// Like a substring that tolerates short texts: whatever part of the range exists.
std::string_view Part(std::string_view text, std::size_t nStart, std::size_t nCount) {
  return nStart < text.size() ? text.substr(nStart, nCount) : std::string_view();
}

}  // namespace

std::string FormatDate(int nDayOfWeek, int nDay, int nMonth, int nYear, int nHour, int nMinute,
                       bool bWithTime) {
  char buffer[96];
  if (bWithTime) {
    std::snprintf(buffer, sizeof buffer, "%s %2.2d %s %4.4d     %2.2d:%2.2d",
                  WeekdayName(nDayOfWeek), nDay, MonthName(nMonth), nYear, nHour, nMinute);
  } else {
    std::snprintf(buffer, sizeof buffer, "%2.2d %s %4.4d", nDay, MonthName(nMonth), nYear);
  }
  return buffer;
}

std::string FormatChartDate(std::string_view strDate) {
  const std::string_view date(strDate);
  const std::size_t nYearStart = date.size() > 4 ? date.size() - 4 : 0;
  return FormatDate(0, Atoi(Part(date, 0, 2)), Atoi(Part(date, 3, 2)),
                    Atoi(date.substr(nYearStart)), 0, 0, false);
}

std::string FormatChartInfo(std::string_view strPosition, std::string_view strDate) {
  return "No. " + std::string(strPosition) + "   on   " + FormatChartDate(strDate);
}

std::string FormatArtistTitle(std::string_view strArtist, std::string_view strTitle) {
  return DisplayUtf8(strArtist) + " - " + DisplayUtf8(strTitle);
}

std::string FormatMinSec(int nMilliseconds) {
  const int nMinutes = nMilliseconds / 60000;
  const int nSeconds = nMilliseconds / 1000 - nMinutes * 60;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%2.2d:%2.2d", nMinutes, nSeconds);
  return buffer;
}

std::string FormatFadeAutoText(int nFadeTime, int nAutoTime) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "Fade:   %d     Auto:   %d", nFadeTime, nAutoTime);
  return buffer;
}

}  // namespace velvane
