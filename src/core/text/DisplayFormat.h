#pragma once

#include <string>
#include <string_view>

namespace velvane {

// The shared date formatter: "04 December 2026" without time, or
// "Friday 04 December 2026     17:59" with it. Weekday 0 is Sunday; weekdays outside 0-6
// and months outside 1-12 give an empty name.
std::string FormatDate(int nDayOfWeek, int nDay, int nMonth, int nYear, int nHour, int nMinute,
                       bool bWithTime);

// "dd/mm/yyyy" (day at characters 1-2, month at 4-5, year the last four) in the long form
// "25 December 1985".
std::string FormatChartDate(std::string_view strDate);

// "No. <position>   on   <long date>": how a chart entry is shown everywhere.
std::string FormatChartInfo(std::string_view strPosition, std::string_view strDate);

// "artist - title" as the screen shows it: UTF-8, each stored field converted on its own, so a
// line whose fields were stored in different encodings reads right.
std::string FormatArtistTitle(std::string_view strArtist, std::string_view strTitle);

// Milliseconds as "mm:ss", truncating: 61500 gives "01:01", 999 gives "00:00".
std::string FormatMinSec(int nMilliseconds);

// The settings summary of the status bar: "Fade:   5     Auto:   2".
std::string FormatFadeAutoText(int nFadeTime, int nAutoTime);

}  // namespace velvane
