#pragma once

#include <string>
#include <string_view>

namespace velvane {

// The date rule of the chart and number one editors: day, month and year split at any run of
// "-", "/" or " "; day 1-31 and month 1-12 (not checked against the month's length); two-digit
// years and years before 1934 moved a century on (00-33 are 2000-2033, 34-99 1934-1999, 1930
// is 2030). Rewrites the typed date as "dd/mm/yyyy"; returns false, leaving it as typed, for a
// rejected date: shorter than 5 characters, a day or month out of range, or a year of more than
// four digits (the stored date keeps the year in its last four characters).
bool ApplyDateRule(std::string& strDate);

// What the editors tell the operator when the date rule rejects `strTyped`.
std::string DateRefusal(const std::string& strTyped);

// A stored "dd/mm/yyyy" date as a number that orders dates as dates (yyyymmdd), read by
// position as the number-one search reads it; 0 for a date that is not one, so it sorts first,
// where the search also places it.
int DateOrderKey(std::string_view date);

}  // namespace velvane
